// The settings file, as the program reads it at start-up: every key of its
// section, as text, whole number, number and yes/no.
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "fuzz.h"

#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>

using quv::SettingsStore;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::application();
    // A folder of its own for each input, so that no file cached from an
    // earlier input is read.
    const QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    quv::NativeSettingsStore store;
    QSaveFile file(store.location());
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(fuzz::bytes(data, size)) >= 0 &&
               file.commit());
    const quv::NativeSettingsStore reread;
    QSettings raw(reread.location(), QSettings::NativeFormat);
    raw.beginGroup(quv::keys::kSection);
    QStringList texts{QString::fromLatin1(fuzz::bytes(data, size))};
    for (const QString& key : raw.allKeys()) {
        texts << reread.get(key);
        if (!SettingsStore::parseInt(texts.last())) FUZZ_CHECK(reread.getInt(key, 7) == 7);
        FUZZ_CHECK(std::isfinite(reread.getNumber(key, 0.5)));
        reread.getBool(key, true);
    }
    for (const QString& text : texts) {
        // What the store writes for a value it read, it reads back the same.
        if (const auto n = SettingsStore::parseInt(text))
            FUZZ_CHECK(SettingsStore::parseInt(QString::number(*n)) == n);
        if (const auto x = SettingsStore::parseNumber(text))
            FUZZ_CHECK(SettingsStore::parseNumber(SettingsStore::numberText(*x)) == x);
    }
    return 0;
}
