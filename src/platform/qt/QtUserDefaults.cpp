// QSettings behind the user-defaults interface.
#include "platform/qt/QtUserDefaults.h"

QtUserDefaults::QtUserDefaults()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("zelkoworks.com"),
                                            QStringLiteral("casavelt"))) {}

QtUserDefaults::QtUserDefaults(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

void QtUserDefaults::removeKey(const std::string& key) {
  settings_->remove(QString::fromStdString(key));
}

void QtUserDefaults::synchronize() { settings_->sync(); }

std::optional<UserDefaultValue> QtUserDefaults::lookup(const std::string& key) const {
  QVariant v = settings_->value(QString::fromStdString(key));
  if (!v.isValid()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong: return v.toInt();
    case QMetaType::Float:
    case QMetaType::Double: return v.toDouble();
    default: return v.toString().toStdString();  // INI files give back text
  }
}

void QtUserDefaults::store(const std::string& key, const UserDefaultValue& value) {
  QVariant v = std::visit(
      [](const auto& x) -> QVariant {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::string>) return QString::fromStdString(x);
        else return QVariant(x);
      },
      value);
  settings_->setValue(QString::fromStdString(key), v);
}
