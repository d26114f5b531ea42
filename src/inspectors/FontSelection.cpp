// Sheet fonts and font records.
#include "inspectors/FontSelection.h"

#include <QFontDatabase>

#include "plandraw/DrawContext.h"
#include "plandraw/PlatformAdapters.h"

QFont SelectedFontForRecord(const LOGFONT& record) {
  float size = 0;
  uint32_t traits = 0;
  ConvertWin32FontInfoToApple(&record, &size, &traits);
  if (!(size > 0)) size = 12;
  const QString face = QString::fromLatin1(record.lfFaceName, static_cast<int>(qstrnlen(record.lfFaceName, sizeof record.lfFaceName)));
  QFont font;
  if (!face.isEmpty() && QFontDatabase::hasFamily(face)) font = QFont(face);
  else font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSizeF(size);
  font.setBold((traits & kFontBoldTrait) != 0);
  font.setItalic((traits & kFontItalicTrait) != 0);
  return font;
}

void StoreFontInRecord(const QFont& font, LOGFONT* record) {
  if (!record) return;
  FontDescription description;
  description.family = font.family().toStdString();
  description.pointSize = static_cast<float>(font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize());
  description.traits = (font.bold() ? kFontBoldTrait : 0) | (font.italic() ? kFontItalicTrait : 0);
  ConvertAppleFontToWin32FontInfo(&description, record);
}
