#include "app/MenuText.h"

#include "platform/Strings.h"

QString MenuText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return shown;
}

QString LocalizedMenuText(const char* key) { return MenuText(key ? LocalizedString(key) : std::string()); }
