#include "editor/find_dialog.h"

#include "core/dialogs.h"
#include "core/twips.h"
#include "editor/source_editor.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace quv {

namespace {

// Positions in twips: left, top, width, height.
struct Place {
    int left, top, width, height;
};
QRect pixels(Place p) {
    return QRect(twipsToPixels(p.left), twipsToPixels(p.top), twipsToPixels(p.width),
                 twipsToPixels(p.height));
}

constexpr Place kClient{1740, 1455, 4530, 2490};
constexpr Place kLabel1{120, 240, 735, 255};
constexpr Place kText1{1200, 240, 1455, 285};
constexpr Place kLabel3{120, 1140, 1035, 195};
constexpr Place kText2{1200, 1020, 1455, 315};
constexpr Place kCheck1{360, 720, 255, 255};
constexpr Place kLabel2{600, 720, 1215, 255};

struct ButtonDef {
    int index;
    const char* caption;
    Place place;
};
constexpr ButtonDef kButtons[] = {
    {1, "&Find", {3120, 120, 1335, 375}},     {2, " Find &Next", {3120, 600, 1335, 375}},
    {3, "&Replace", {3120, 1080, 1335, 375}}, {5, "Replace &All", {3120, 1560, 1335, 375}},
    {4, "&Cancel", {3120, 2040, 1335, 375}},
};

QLabel* label(QWidget* parent, const char* name, const char* text, Place place) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    QRect r = pixels(place);
    // A font wider than the one the places were made for still shows the
    // whole caption, in the free space to its right.
    r.setWidth(std::max(r.width(), l->sizeHint().width()));
    l->setGeometry(r);
    return l;
}

}  // namespace

FindDialog::FindDialog(SourceEditor& editor, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      editor_(editor),
      dialogs_(dialogs),
      text1_(new QLineEdit(this)),
      text2_(new QLineEdit(this)),
      check1_(new QCheckBox(this)) {
    setObjectName(QStringLiteral("Findtext"));
    setWindowTitle(QStringLiteral("Find"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8);
    setFont(small);

    label(this, "Label1", "Find what:", kLabel1);
    label(this, "Label3", "Replace with:", kLabel3);
    label(this, "Label2", "Find whole word", kLabel2);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(pixels(kText1));
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setGeometry(pixels(kText2));
    check1_->setObjectName(QStringLiteral("Check1"));
    check1_->setGeometry(pixels(kCheck1));
    for (const ButtonDef& def : kButtons) {
        auto* b = new QPushButton(QString::fromLatin1(def.caption), this);
        b->setObjectName(QStringLiteral("Command%1").arg(def.index));
        b->setGeometry(pixels(def.place));
        // Enter on a focused button presses it.
        b->setAutoDefault(true);
        buttons_[def.index] = b;
    }
    connect(buttons_[1], &QPushButton::clicked, this, &FindDialog::Command1_Click);
    connect(buttons_[2], &QPushButton::clicked, this, &FindDialog::Command2_Click);
    connect(buttons_[3], &QPushButton::clicked, this, &FindDialog::Command3_Click);
    connect(buttons_[4], &QPushButton::clicked, this, &FindDialog::Command4_Click);
    connect(buttons_[5], &QPushButton::clicked, this, &FindDialog::Command5_Click);

    // Tab order: Text1, Text2, Find, Find Next, Replace, Cancel, Check1,
    // Replace All.
    const QList<QWidget*> order{text1_,      text2_,      buttons_[1], buttons_[2],
                                buttons_[3], buttons_[4], check1_,     buttons_[5]};
    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    for (QWidget* w : {static_cast<QWidget*>(text1_), static_cast<QWidget*>(text2_),
                       static_cast<QWidget*>(buttons_[1]), static_cast<QWidget*>(buttons_[2]),
                       static_cast<QWidget*>(buttons_[3]), static_cast<QWidget*>(buttons_[4])})
        w->installEventFilter(this);

    setFixedSize(pixels(kClient).size());
    move(pixels(kClient).topLeft());
}

QPushButton* FindDialog::button(int index) const {
    return index >= 1 && index <= 5 ? buttons_[index] : nullptr;
}

void FindDialog::showForFind() {
    text1_->selectAll();
    text2_->clear();
    show();
    raise();
    activateWindow();
    text1_->setFocus();
}

bool FindDialog::findNextFromMenu() {
    if (text1_->text().isEmpty()) {
        show();
        raise();
        activateWindow();
        text1_->setFocus();
        return false;
    }
    Command2_Click();
    return true;
}

int FindDialog::options() const {
    return check1_->isChecked() ? SourceEditor::kWholeWord : 0;
}

QByteArray FindDialog::searchText() const {
    return text1_->text().toLatin1();
}

void FindDialog::notFound() {
    dialogs_.message(QStringLiteral("Word not found"), Buttons::Ok, Icon::Information, kAppTitle);
}

void FindDialog::findFrom(int position) {
    foundpos = editor_.findText(searchText(), position, -1, options());
    if (foundpos < 0) notFound();
}

void FindDialog::Command1_Click() {
    foundpos = -1;
    findFrom(foundpos + 1);
    buttons_[2]->setFocus();
}

void FindDialog::Command2_Click() {
    foundpos = editor_.selectionStart();
    findFrom(foundpos + 1);
}

bool FindDialog::isSearchText(const QByteArray& text) const {
    // An empty search text matches nothing, not even an empty selection.
    return !text1_->text().isEmpty() &&
           QString::fromLatin1(text).compare(text1_->text(), Qt::CaseInsensitive) == 0;
}

void FindDialog::Command3_Click() {
    foundpos = editor_.selectionStart();
    if (isSearchText(editor_.selectedBytes())) {
        editor_.beginUndoAction();
        editor_.replaceSelectionBytes(text2_->text().toLatin1());
        editor_.endUndoAction();
    }
    findFrom(foundpos + 1);
}

void FindDialog::Command4_Click() {
    hide();
}

void FindDialog::Command5_Click() {
    const QByteArray find = searchText();
    const QByteArray replacement = text2_->text().toLatin1();
    const int opts = options();
    // The selection is followed here and set on the control once at the end:
    // nothing else looks at it while the loop runs.
    int selStart = editor_.selectionStart();
    int selEnd = editor_.selectionEnd();
    foundpos = selStart;
    bool changed = false;
    for (;;) {
        int next = foundpos + 1;
        if (isSearchText(editor_.range(selStart, selEnd))) {
            if (!changed) editor_.beginUndoAction();
            changed = true;
            editor_.replaceRange(selStart, selEnd, replacement);
            selStart = selEnd = foundpos + static_cast<int>(replacement.size());
            // The search goes on after the inserted text, so that a
            // replacement that holds the search text cannot be found again.
            next = selEnd;
        }
        foundpos = editor_.search(find, next, -1, opts);
        if (foundpos < 0) break;
        selStart = foundpos;
        selEnd = foundpos + static_cast<int>(find.size());
    }
    if (changed) editor_.endUndoAction();
    editor_.select(selStart, selEnd - selStart);
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            hide();
            return true;
        }
        if (watched == text1_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            buttons_[1]->setFocus();
            Command1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quv
