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

std::optional<QString> ScriptedDialogs::input(const QString& prompt, const QString&,
                                              const QString&) {
    inputPrompts << prompt;
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
}

std::optional<QString> ScriptedDialogs::openFileName(const QString& filter,
                                                     const QString& fileName) {
    openFilters << filter;
    prefilledNames << fileName;
    return openAnswers.isEmpty() ? std::nullopt : openAnswers.dequeue();
}

std::optional<QString> ScriptedDialogs::saveFileName(const QString& filter,
                                                     const QString& fileName) {
    saveFilters << filter;
    prefilledNames << fileName;
    return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.dequeue();
}

std::optional<FontChoice> ScriptedDialogs::chooseFont(const FontChoice& initial) {
    fontInitials << initial;
    return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.dequeue();
}

std::optional<QString> ScriptedDialogs::printText(const QString& text) {
    if (printError) return printError;
    printed << text;
    return std::nullopt;
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown& s : messages) out << s.text;
    return out;
}

}  // namespace quv::test
