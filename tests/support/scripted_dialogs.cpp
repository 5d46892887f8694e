#include "support/scripted_dialogs.h"

namespace quv::test {

Answer ScriptedDialogs::message(const QString& text, Buttons buttons, Icon icon,
                                const QString& title) {
    const Shown shown{text, title, buttons, icon};
    messages << shown;
    if (onMessage) onMessage(shown);
    if (!answers.isEmpty()) return answers.dequeue();
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel:
            return Answer::Ok;
        case Buttons::RetryCancel:
            return Answer::Cancel;
        default:
            return Answer::No;
    }
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown& s : messages) out << s.text;
    return out;
}

}  // namespace quv::test
