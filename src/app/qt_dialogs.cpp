#include "app/qt_dialogs.h"

#include "app/font_and_print.h"
#include "core/app_paths.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>

namespace quv {

namespace {

QMessageBox::StandardButtons standardButtons(Buttons b) {
    switch (b) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon i) {
    switch (i) {
        case Icon::None:
            return QMessageBox::NoIcon;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

Answer answerOf(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

// The folder the file dialogs show first: the pre-filled file's, or the
// working folder, which follows the current document.
QString startPath(const QString& fileName) {
    if (fileName.isEmpty()) return QDir::currentPath();
    return QFileInfo(QDir::current(), fileName).absoluteFilePath();
}

}  // namespace

QWidget* QtDialogs::owner() const {
    QWidget* active = QApplication::activeWindow();
    // A window of another kind (a menu, a tool tip) owns no dialog.
    if (active && active->isWindow() &&
        (active->windowType() == Qt::Window || active->windowType() == Qt::Dialog ||
         active->windowType() == Qt::Tool))
        return active;
    return parent_;
}

Answer QtDialogs::message(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    QMessageBox box(boxIcon(icon), title, text, standardButtons(buttons), owner());
    return answerOf(box.exec());
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title,
                                        const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::openFileName(const QString& filter, const QString& fileName) {
    return fileDialog(false, filter, fileName);
}

std::optional<QString> QtDialogs::saveFileName(const QString& filter, const QString& fileName) {
    return fileDialog(true, filter, fileName);
}

std::optional<QString> QtDialogs::fileDialog(bool save, const QString& filter,
                                             const QString& fileName) {
    const QString chosen =
        !save ? QFileDialog::getOpenFileName(owner(), QString(), startPath(fileName),
                                             qtFilterFromPairs(filter), nullptr,
                                             QFileDialog::DontUseNativeDialog)
              : QFileDialog::getSaveFileName(owner(), QString(), startPath(fileName),
                                             qtFilterFromPairs(filter), nullptr,
                                             QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

std::optional<FontChoice> QtDialogs::chooseFont(const FontChoice& initial) {
    QFont start;
    if (!initial.name.isEmpty()) start.setFamily(initial.name);
    if (initial.size > 0) start.setPointSizeF(initial.size);
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, start, owner());
    if (!ok) return std::nullopt;
    return FontChoice{f.family(), f.pointSizeF()};
}

std::optional<QString> QtDialogs::printText(const QString& text) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return QStringLiteral(
            "No printer is installed, so nothing was printed. Install a "
            "printer, make it the default printer and print again.");
    QPrinter printer(info, QPrinter::HighResolution);
    return printPlainText(printer, text);
}

}  // namespace quv
