// The base configuration commands on a recording library, scripted dialogs
// and settings in memory, and a small script language for editing the form.
#pragma once

#include "baseconfig/base_commands.h"
#include "baseconfig/base_form.h"
#include "core/link_state.h"
#include "core/settings_store.h"
#include "support/recording_com.h"
#include "support/scripted_dialogs.h"

#include <QtTest>

#include <functional>

namespace quv::test {

// A recording library that runs a step inside chosen calls, as the real
// library runs events while it waits.
struct HookedCom : RecordingCom {
    std::function<void()> inName, inOpen;
    void B_SetBaseName(qint32 port, qint32 baud, const QByteArray& prefix, qint32 station,
                       qint32 remote) override {
        RecordingCom::B_SetBaseName(port, baud, prefix, station, remote);
        if (inName) inName();
    }
    qint32 IO_Open(qint32 port, qint32 baud) override {
        const qint32 r = RecordingCom::IO_Open(port, baud);
        if (inOpen) inOpen();
        return r;
    }
};

inline BaseForm::Id idOf(const QString& name) {
    for (int i = 0; i < BaseForm::kControlCount; ++i)
        if (name == QLatin1String(BaseForm::name(static_cast<BaseForm::Id>(i))))
            return static_cast<BaseForm::Id>(i);
    qFatal("no control %s", qPrintable(name));
}

// "Text1=ABC" types a text, "pick Combo3=Radio" picks an item, "check=1"
// sets the check box, "clear" forgets the change flags as a read does.
inline void apply(BaseForm& form, const QString& step) {
    if (step == QLatin1String("clear")) return void(form.flags = {});
    const bool pick = step.startsWith(QLatin1String("pick "));
    const QString s = pick ? step.mid(5) : step;
    const QString name = s.section(QLatin1Char('='), 0, 0);
    const QString value = s.section(QLatin1Char('='), 1);
    if (name == QLatin1String("check")) return form.setCheckValue(value.toInt());
    pick ? form.pick(idOf(name), value) : form.setText(idOf(name), value);
}

// "flags" as letters (E ComunicationError, N names, R radio, S serial,
// O send-to), "caption", a control's text, or "Text3.enabled" and
// "Label3.visible" as 0 or 1.
inline QString state(const BaseForm& form, const QString& key) {
    if (key == QLatin1String("flags")) {
        const BaseForm::Flags& f = form.flags;
        QString s;
        for (auto [on, letter] : {std::pair{f.ComunicationError, 'E'},
                                  {f.BaseNameChanged, 'N'},
                                  {f.RadioBaudRateChanged, 'R'},
                                  {f.SerialBaudRateChanged, 'S'},
                                  {f.SerialOrRadioChanged, 'O'}})
            if (on) s += QLatin1Char(letter);
        return s;
    }
    if (key == QLatin1String("caption")) return form.caption;
    const BaseForm::Control& c = form[idOf(key.section(QLatin1Char('.'), 0, 0))];
    if (key.endsWith(QLatin1String(".enabled"))) return QString::number(c.enabled);
    if (key.endsWith(QLatin1String(".visible"))) return QString::number(c.visible);
    return c.text;
}

// Each "key=value" holds on the form.
inline void expectState(const BaseForm& form, const QStringList& expected) {
    for (const QString& e : expected) {
        const QString key = e.section(QLatin1Char('='), 0, 0);
        QCOMPARE(key + QLatin1Char('=') + state(form, key), e);
    }
}

inline QStringList settingsList(const MemorySettingsStore& s) {
    QStringList out;
    for (auto it = s.values().begin(); it != s.values().end(); ++it)
        out << it.key() + QLatin1Char('=') + it.value();
    out.sort();
    return out;
}

struct BaseRig {
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    HookedCom com;
    LinkState link;
    BaseCommands commands{com, dialogs, settings, link, [this](qint32 port) {
                              return settings.get(QStringLiteral("ComDevice%1").arg(port),
                                                  QStringLiteral("/dev/ttyS%1").arg(port - 1));
                          }};
    BaseForm form;
};

// The record of the worked example: version V21, names ABC05 and ABC03,
// radio 40000, serial 19200, send to Radio.
inline const QByteArray kExample = "V21ABC05ABC0340000 192001";

}  // namespace quv::test
