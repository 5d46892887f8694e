// Dialogs that record what the user would be shown and answer from a script.
#pragma once

#include "core/dialogs.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>

namespace quv::test {

class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };
    // Every message box shown, in order.
    QList<Shown> messages;
    // Answers for the message boxes, in order; when none is queued the box
    // is answered Ok, Cancel when its buttons are Retry and Cancel, else No.
    QQueue<Answer> answers;
    // Answers for the file dialogs and the input box; nothing means cancel.
    QQueue<std::optional<QString>> openAnswers, saveAnswers, inputAnswers;
    QQueue<std::optional<FontChoice>> fontAnswers;
    // What the dialogs were shown with.
    QStringList openFilters, saveFilters, prefilledNames, inputPrompts;
    QList<FontChoice> fontInitials;
    QStringList printed;
    std::optional<QString> printError;
    // Runs when a message box is shown, before it is answered.
    std::function<void(const Shown&)> onMessage;

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title) override {
        const Shown shown{text, title, buttons, icon};
        messages << shown;
        if (onMessage) onMessage(shown);
        if (!answers.isEmpty()) return answers.dequeue();
        if (buttons == Buttons::Ok || buttons == Buttons::OkCancel) return Answer::Ok;
        return buttons == Buttons::RetryCancel ? Answer::Cancel : Answer::No;
    }
    std::optional<QString> input(const QString& prompt, const QString&, const QString&) override {
        inputPrompts << prompt;
        return next(inputAnswers);
    }
    std::optional<QString> openFileName(const QString& filter, const QString& fileName) override {
        openFilters << filter;
        prefilledNames << fileName;
        return next(openAnswers);
    }
    std::optional<QString> saveFileName(const QString& filter, const QString& fileName) override {
        saveFilters << filter;
        prefilledNames << fileName;
        return next(saveAnswers);
    }
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override {
        fontInitials << initial;
        return next(fontAnswers);
    }
    std::optional<QString> printText(const QString& text) override {
        if (!printError) printed << text;
        return printError;
    }

    QStringList texts() const {
        QStringList out;
        for (const Shown& s : messages) out << s.text;
        return out;
    }

  private:
    template <typename T>
    static std::optional<T> next(QQueue<std::optional<T>>& answers) {
        return answers.isEmpty() ? std::nullopt : answers.dequeue();
    }
};

}  // namespace quv::test
