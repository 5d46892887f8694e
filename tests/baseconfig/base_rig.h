// The base configuration commands on a recording library, scripted dialogs
// and settings in memory, and a small script language for the form.
#pragma once

#include "baseconfig/base_commands.h"
#include "baseconfig/base_form.h"
#include "core/link_state.h"
#include "core/settings_store.h"
#include "support/recording_com.h"
#include "support/scripted_dialogs.h"

#include <QtTest>

namespace quv::test {

inline BaseForm::Id idOf(const QString& name) {
    for (int i = 0; i < BaseForm::kControlCount; ++i)
        if (name == QLatin1String(BaseForm::name(BaseForm::Id(i)))) return BaseForm::Id(i);
    qFatal("no control %s", qPrintable(name));
}

inline QStringList parts(const QString& script) {
    return script.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// Steps separated by ";": "Text1=ABC" types a text, "pick Combo3=Radio"
// picks an item, "check=1" sets the check box, "clear" forgets the change
// flags as a read does.
inline void apply(BaseForm& form, const QString& script) {
    for (const QString& step : parts(script)) {
        const bool pick = step.startsWith(QLatin1String("pick "));
        const QString name = step.mid(pick ? 5 : 0).section(QLatin1Char('='), 0, 0);
        const QString value = step.section(QLatin1Char('='), 1);
        if (step == QLatin1String("clear"))
            form.flags = {};
        else if (name == QLatin1String("check"))
            form.setCheckValue(value.toInt());
        else
            pick ? form.pick(idOf(name), value) : form.setText(idOf(name), value);
    }
}

// "flags" as letters (E ComunicationError, N names, R radio, S serial,
// O send-to), "caption", a control's text, "Text3.enabled" or
// "Label3.visible" as 0 or 1.
inline QString state(const BaseForm& form, const QString& key) {
    const BaseForm::Flags& f = form.flags;
    if (key == QLatin1String("flags"))
        return QString(f.ComunicationError ? "E" : "") + (f.BaseNameChanged ? "N" : "") +
               (f.RadioBaudRateChanged ? "R" : "") + (f.SerialBaudRateChanged ? "S" : "") +
               (f.SerialOrRadioChanged ? "O" : "");
    if (key == QLatin1String("caption")) return form.caption;
    const BaseForm::Control& c = form[idOf(key.section(QLatin1Char('.'), 0, 0))];
    if (key.endsWith(QLatin1String(".enabled"))) return QString::number(c.enabled);
    if (key.endsWith(QLatin1String(".visible"))) return QString::number(c.visible);
    return c.text;
}

// Each "key=value" of the ";"-separated list holds on the form.
inline void expectState(const BaseForm& form, const QString& expected) {
    for (const QString& e : parts(expected)) {
        const QString key = e.section(QLatin1Char('='), 0, 0);
        QCOMPARE(key + QLatin1Char('=') + state(form, key), e);
    }
}

// The worked example: V21, names ABC05 and ABC03, 40000 and 19200 baud, Radio.
inline const QByteArray kExample = "V21ABC05ABC0340000 192001";

// A status read answers with the worked example.
struct BaseRig {
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    RecordingCom com;
    LinkState link;
    BaseCommands commands{com, dialogs, settings, link,
                          [](qint32 port) { return QStringLiteral("/dev/ttyS%1").arg(port - 1); }};
    BaseForm form;
    BaseRig() { com.statusRecord = kExample; }
    // Everything stored, as "key=value;..." in key order.
    QString stored() const {
        QStringList out;
        for (auto [key, value] : settings.values().asKeyValueRange()) out << key + '=' + value;
        out.sort();
        return out.join(QLatin1Char(';'));
    }
};

}  // namespace quv::test
