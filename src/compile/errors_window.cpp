#include "compile/errors_window.h"

#include "app/documents.h"
#include "app/main_window.h"
#include "compile/build_names.h"
#include "compile/error_file.h"
#include "core/text_file.h"
#include "core/twips.h"
#include "editor/goto_line.h"
#include "editor/source_editor.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>

namespace quv {

namespace {

struct Box {
    int left, top, width, height;  // twips
};
constexpr Box kLabels[3] = {{60, 0, 375, 195}, {840, 0, 315, 195}, {3360, 0, 855, 195}};
constexpr Box kLists[3] = {{0, 240, 855, 3960}, {840, 240, 2535, 3960}, {3420, 240, 6495, 3960}};
constexpr Box kClient = {45, 1605, 9915, 4185};
const char* const kLabelTexts[3] = {"Line", "File", "Message"};

QRect pixels(const Box& b) {
    return QRect(twipsToPixels(b.left), twipsToPixels(b.top), twipsToPixels(b.width),
                 twipsToPixels(b.height));
}

}  // namespace

Errors::Errors(MainWindow& window)
    : QWidget(&window, Qt::Tool | Qt::WindowStaysOnTopHint), window_(window) {
    setObjectName(QStringLiteral("Errors"));
    setWindowTitle(QStringLiteral("Error List"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The column titles keep to their small design height.
    QFont titleFont = font();
    titleFont.setPixelSize(11);
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QString::fromLatin1(kLabelTexts[i]), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setFont(titleFont);
        label->setGeometry(pixels(kLabels[i]));
        labels_[i] = label;

        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("List%1").arg(i + 1));
        list->setUniformItemSizes(true);
        // Focus only by a click: a list that takes the focus when the window
        // is activated would choose its first row and jump to it.
        list->setFocusPolicy(Qt::ClickFocus);
        list->setGeometry(pixels(kLists[i]));
        list->viewport()->installEventFilter(this);
        connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
            if (row >= 0) selectRow(row);
        });
        // A click on the row that is already chosen jumps to it again.
        connect(list, &QListWidget::clicked, this, [this](const QModelIndex& index) {
            if (index.row() == rowAtPress_) selectRow(index.row());
        });
        lists_[i] = list;
    }
    // The three lists scroll together, so that a row reads across.
    for (QListWidget* from : lists_)
        for (QListWidget* to : lists_)
            if (from != to)
                connect(from->verticalScrollBar(), &QScrollBar::valueChanged,
                        to->verticalScrollBar(), &QScrollBar::setValue);
    resize(twipsToPixels(kClient.width), twipsToPixels(kClient.height));
}

void Errors::Form_Load(const QString& builtFile) {
    clearRows();
    QList<ErrorRecord> records;
    const QString file = builtFile.isEmpty() ? window_.documents().CurrentFileName : builtFile;
    if (const auto name = errorFileName(file)) {
        const ReadResult read = readWholeFile(*name);
        if (read.bytes) records = parseErrorFile(*read.bytes);
    }
    QStringList columns[3];
    for (QStringList& c : columns) c.reserve(records.size());
    for (const ErrorRecord& r : std::as_const(records)) {
        columns[0] << r.line;
        columns[1] << r.file;
        columns[2] << r.message;
    }
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker quiet(lists_[i]);
        lists_[i]->addItems(columns[i]);
    }
    if (!placed_) {
        setGeometry(twipsToPixels(kClient.left), twipsToPixels(kClient.top),
                    twipsToPixels(kClient.width), twipsToPixels(kClient.height));
        placed_ = true;
    }
    show();
    raise();
}

void Errors::unload() {
    close();
}

void Errors::clearRows() {
    for (QListWidget* list : lists_) {
        const QSignalBlocker quiet(list);
        list->clear();
    }
}

void Errors::closeEvent(QCloseEvent* event) {
    clearRows();
    QWidget::closeEvent(event);
}

void Errors::selectRow(int row) {
    if (row < 0 || row >= List1()->count()) return;
    for (QListWidget* list : lists_) {
        const QSignalBlocker quiet(list);
        list->setCurrentRow(row);
        list->scrollToItem(list->item(row));
    }
    jumpToError(row);
}

void Errors::jumpToError(int row) {
    Documents& documents = window_.documents();
    const QString file = List2()->item(row)->text();
    // A record without a file name belongs to the document that was built.
    if (!file.isEmpty() && file != documents.CurrentFileName) {
        // Only a changed document is written: rewriting an unchanged one
        // gains nothing and would alter a compiled image opened in compact
        // mode. A failed save stops here, so nothing typed is lost.
        if (documents.Source_changed && !documents.Save_program()) return;
        documents.Open_File(file);
        // The file could not be opened (it has told the user why): the caret
        // stays where it is rather than move in a file the error is not about.
        if (documents.CurrentFileName != QDir::toNativeSeparators(file)) return;
    }
    qint32 line = errorLineIndex(List1()->item(row)->text());
    Goto_line(*window_.Source(), line);
    if (window_.isMinimized()) window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
    window_.show();
    window_.raise();
    window_.activateWindow();
    window_.Source()->setFocus();
}

void Errors::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The lists grow and shrink with the window: all in height, the message
    // list in width too. At the design size they keep their design boxes.
    const int dh = height() - twipsToPixels(kClient.height);
    const int dw = width() - twipsToPixels(kClient.width);
    for (int i = 0; i < 3; ++i) {
        QRect g = pixels(kLists[i]);
        g.setHeight(std::max(0, g.height() + dh));
        if (i == 2) g.setWidth(std::max(0, g.width() + dw));
        lists_[i]->setGeometry(g);
    }
}

bool Errors::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (QListWidget* list : lists_)
            if (watched == list->viewport()) rowAtPress_ = list->currentRow();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quv
