#include "core/settings_store.h"

#include "core/settings_keys.h"

#include <QLocale>
#include <QSettings>

#include <cmath>
#include <limits>

namespace quv {

QString SettingsStore::boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> SettingsStore::parseBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    if (const auto n = parseNumber(t)) return *n != 0.0;
    return std::nullopt;
}

std::optional<qint32> SettingsStore::parseInt(const QString& text) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(v);
}

std::optional<double> SettingsStore::parseNumber(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString SettingsStore::numberText(double value) {
    // The shortest text that reads back as exactly this number.
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

bool SettingsStore::getBool(const QString& key, bool defaultValue) const {
    return parseBool(get(key, boolText(defaultValue))).value_or(defaultValue);
}

qint32 SettingsStore::getInt(const QString& key, qint32 defaultValue) const {
    return parseInt(get(key, QString::number(defaultValue))).value_or(defaultValue);
}

double SettingsStore::getNumber(const QString& key, double defaultValue) const {
    return parseNumber(get(key, numberText(defaultValue))).value_or(defaultValue);
}

NativeSettingsStore::NativeSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            keys::kOrganisation, QString())) {
    settings_->beginGroup(keys::kSection);
}

NativeSettingsStore::~NativeSettingsStore() = default;

QString NativeSettingsStore::read(const QString& key, const QString& defaultValue) const {
    if (!settings_->contains(key)) return defaultValue;
    const QVariant v = settings_->value(key);
    // A value stored in a form other than text (a list, a binary value)
    // cannot be read as text; the typed readings then take their default.
    if (!v.canConvert<QString>()) return QString();
    return v.toString();
}

bool NativeSettingsStore::contains(const QString& key) const {
    return settings_->contains(key);
}

void NativeSettingsStore::save(const QString& key, const QString& value) {
    settings_->setValue(key, value);
    settings_->sync();
}

void NativeSettingsStore::remove(const QString& key) {
    settings_->remove(key);
    settings_->sync();
}

QString NativeSettingsStore::location() const {
    return settings_->fileName();
}

QString MemorySettingsStore::read(const QString& key, const QString& defaultValue) const {
    return values_.value(key, defaultValue);
}

bool MemorySettingsStore::contains(const QString& key) const {
    return values_.contains(key);
}

void MemorySettingsStore::save(const QString& key, const QString& value) {
    values_.insert(key, value);
}

}  // namespace quv
