// The per-user settings store: text values by key, and their typed readings.
#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace quv {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or defaultValue when the key is absent.
    QString get(const QString& key, const QString& defaultValue = QString()) const {
        return read(key, defaultValue);
    }
    virtual bool contains(const QString& key) const = 0;
    // Stored at once; a failure is never reported to the user.
    virtual void save(const QString& key, const QString& value) = 0;
    virtual void remove(const QString& key) = 0;

    // Typed readings: a value that cannot be read in its form gives the default.
    bool getBool(const QString& key, bool defaultValue) const;
    qint32 getInt(const QString& key, qint32 defaultValue) const;
    double getNumber(const QString& key, double defaultValue) const;
    void saveBool(const QString& key, bool value) { save(key, boolText(value)); }

    static QString boolText(bool value);
    // "True"/"False" in any letter case, or a decimal number (0 is False).
    static std::optional<bool> parseBool(const QString& text);
    // A decimal integer that fits in 32 bits.
    static std::optional<qint32> parseInt(const QString& text);
    static std::optional<double> parseNumber(const QString& text);
    // A number as number text: 12, 9.75.
    static QString numberText(double value);

  protected:
    virtual QString read(const QString& key, const QString& defaultValue) const = 0;
};

// The platform's native store: organisation "QuvDeveloper", no application
// name, section "Startup" ($XDG_CONFIG_HOME/QuvDeveloper.conf on Linux, the
// registry under HKEY_CURRENT_USER\Software\QuvDeveloper on Windows).
class NativeSettingsStore : public SettingsStore {
  public:
    NativeSettingsStore();
    ~NativeSettingsStore() override;
    bool contains(const QString& key) const override;
    void save(const QString& key, const QString& value) override;
    void remove(const QString& key) override;
    // Where the values live (a file path, or a registry key).
    QString location() const;

  protected:
    QString read(const QString& key, const QString& defaultValue) const override;

  private:
    std::unique_ptr<QSettings> settings_;
};

// A store that lives in memory only.
class MemorySettingsStore : public SettingsStore {
  public:
    bool contains(const QString& key) const override;
    void save(const QString& key, const QString& value) override;
    void remove(const QString& key) override { values_.remove(key); }
    const QHash<QString, QString>& values() const { return values_; }

  protected:
    QString read(const QString& key, const QString& defaultValue) const override;

  private:
    QHash<QString, QString> values_;
};

}  // namespace quv
