#include "app/font_and_print.h"

#include "core/dialogs.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "editor/source_editor.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

namespace quv {

std::optional<FontChoice> chooseEditorFont(SourceEditor& editor, QListWidget& list,
                                           Dialogs& dialogs, const SettingsStore& settings) {
    FontChoice initial;
    initial.size = settings.getNumber(keys::kFontSize, keys::kDefaultFontSize);
    initial.name = settings.get(keys::kFontName, QString());
    std::optional<FontChoice> chosen = dialogs.chooseFont(initial);
    if (!chosen) return std::nullopt;
    editor.setEditorFont(chosen->name, chosen->size);
    list.setFont(editor.editorFont());
    return chosen;
}

void printProgram(SourceEditor& editor, Dialogs& dialogs) {
    const QByteArray bytes =
        editor.selectionLength() == 0 ? editor.bytes() : editor.selectedBytes();
    if (const std::optional<QString> error = dialogs.printText(QString::fromLatin1(bytes)))
        dialogs.message(*error, Buttons::Ok, Icon::Exclamation, kAppTitle);
}

namespace {

// One line per line break, and blanks for each Tab up to the next multiple
// of 8 columns, as the editor shows them: the page layout would measure a
// Tab in screen units and push the rest of the line onto the next one.
QString printedLines(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QString out;
    out.reserve(lines.size());
    int column = 0;
    for (const QChar c : std::as_const(lines)) {
        if (c == QLatin1Char('\t')) {
            do out += QLatin1Char(' ');
            while (++column % 8 != 0);
        } else {
            out += c;
            column = c == QLatin1Char('\n') ? 0 : column + 1;
        }
    }
    return out;
}

}  // namespace

std::optional<QString> printPlainText(QPrinter& printer, const QString& text) {
    if (!printer.isValid()) return QStringLiteral("The printer is not available.");
    const QString lines = printedLines(text);

    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("The printer could not start the document.");
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&printer);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(10);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    doc.setPlainText(lines);
    // With a page size the layout moves a line that would cross the bottom
    // of a page to the next one.
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    doc.setPageSize(page.size());
    const int pages = std::max(1, doc.pageCount());
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage()) break;
        painter.save();
        const QRectF view(0, i * page.height(), page.width(), page.height());
        painter.translate(0, -view.top());
        doc.drawContents(&painter, view);
        painter.restore();
    }
    // Ending the document hands the pages to the printer at once.
    painter.end();
    if (printer.printerState() == QPrinter::Error)
        return QStringLiteral("The printer reported an error; the document was not printed.");
    return std::nullopt;
}

}  // namespace quv
