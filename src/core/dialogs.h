// Everything the user is asked or told: message boxes, the input box, the
// file and font dialogs and the printer. Tests script the answers.
#pragma once

#include <QString>

#include <optional>

namespace quv {

// The title of every message box that has no title of its own.
inline const QString kAppTitle = QStringLiteral("Ombrex");

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Answer { Ok, Cancel, Yes, No, Retry };

struct FontChoice {
    QString name;
    double size = 12;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None, const QString& title = kAppTitle) = 0;
    // The typed text, or nothing when the user cancels.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;
    // filter: pairs of description and pattern separated by "|", as in
    // "C Programs (*.c)|*.c|All Files (*.*)|*.*"; empty for no filter.
    // fileName: the name the dialog shows pre-filled. Nothing on cancel.
    virtual std::optional<QString> openFileName(const QString& filter, const QString& fileName) = 0;
    virtual std::optional<QString> saveFileName(const QString& filter, const QString& fileName) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;
    // Prints the text on the default printer and ends the document; on
    // failure returns the reason.
    virtual std::optional<QString> printText(const QString& text) = 0;
};

// Dialogs for a program without a user to ask: every question is cancelled
// and nothing is printed; only the messages remain to be shown somewhere.
class UnattendedDialogs : public Dialogs {
  public:
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> openFileName(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
    std::optional<QString> printText(const QString&) override {
        return QStringLiteral("there is no printer here");
    }
};

}  // namespace quv
