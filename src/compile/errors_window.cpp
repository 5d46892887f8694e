#include "compile/errors_window.h"

#include "compile/build_names.h"
#include "core/current_document.h"
#include "core/twips.h"

#include <QCloseEvent>
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

Errors::Errors(CurrentDocument& document, Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      document_(document),
      hooks_(std::move(hooks)) {
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
    const QString file = builtFile.isEmpty() ? document_.fileName() : builtFile;
    if (const auto name = errorFileName(file)) records_ = readErrorFile(*name);
    QStringList columns[3];
    for (QStringList& c : columns) c.reserve(records_.size());
    for (const ErrorRecord& r : std::as_const(records_)) {
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
    records_.clear();
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
    if (row < 0 || row >= records_.size()) return;
    for (QListWidget* list : lists_) {
        const QSignalBlocker quiet(list);
        list->setCurrentRow(row);
        list->scrollToItem(list->item(row));
    }
    // A file that could not be saved or opened has told the user why; the
    // caret then stays where it is rather than move in a file the error is
    // not about.
    if (!jumpToError(records_.at(row), document_, hooks_.gotoLine)) return;
    if (hooks_.showMainWindow) hooks_.showMainWindow();
}

int Errors::currentRow() const {
    return lists_[0]->currentRow();
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
