#include "editor/error_marks_view.h"

#include <Qsci/qsciscintilla.h>

#include <QToolTip>

#include <algorithm>

namespace quv {

namespace {
// Vermilion, told apart from the text by its shape too: it reads for the
// colour-blind.
const QColor kErrorColour(0xd5, 0x5e, 0x00);
constexpr int kMarginWidth = 14;
}  // namespace

ErrorMarksView::ErrorMarksView(QsciScintilla& editor,
                               std::function<void(const QString&)> caretMessage, QObject* parent)
    : QObject(parent), editor_(editor), caretMessage_(std::move(caretMessage)) {
    editor_.setMarginType(kMargin, QsciScintilla::SymbolMargin);
    editor_.setMarginMarkerMask(kMargin, 1 << kMarker);
    editor_.setMarginWidth(kMargin, 0);
    editor_.markerDefine(QsciScintilla::Circle, kMarker);
    editor_.setMarkerBackgroundColor(kErrorColour, kMarker);
    editor_.setMarkerForegroundColor(kErrorColour.darker(150), kMarker);
    editor_.indicatorDefine(QsciScintilla::SquiggleLowIndicator, kIndicator);
    editor_.setIndicatorForegroundColor(kErrorColour, kIndicator);
    editor_.SendScintilla(QsciScintilla::SCI_SETMOUSEDWELLTIME, kDwellMs);
    connect(&editor_, &QsciScintilla::SCN_DWELLSTART, this,
            [this](int, int x, int y) { dwell(x, y); });
    connect(&editor_, &QsciScintilla::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
    connect(&editor_, &QsciScintilla::cursorPositionChanged, this,
            [this](int line, int) { caretMoved(line); });
    // A line is underlined once it comes into view: with many errors,
    // underlining them all at once would hold the editor up.
    connect(&editor_, &QsciScintilla::SCN_UPDATEUI, this, [this](int) { underlineShownLines(); });
}

void ErrorMarksView::show(const QList<LineMark>& marks) {
    // Markers and underlines change no text: the control's notice of each
    // change would only cost time with many marks.
    const long events = editor_.SendScintilla(QsciScintilla::SCI_GETMODEVENTMASK);
    editor_.SendScintilla(QsciScintilla::SCI_SETMODEVENTMASK, 0UL);
    editor_.markerDeleteAll(kMarker);
    editor_.SendScintilla(QsciScintilla::SCI_SETINDICATORCURRENT, kIndicator);
    editor_.SendScintilla(QsciScintilla::SCI_INDICATORCLEARRANGE, 0UL,
                          editor_.SendScintilla(QsciScintilla::SCI_GETLENGTH));
    placed_.clear();
    placed_.reserve(static_cast<size_t>(marks.size()));
    const int lines = editor_.lines();
    for (const LineMark& mark : marks)
        if (mark.line >= 0 && mark.line < lines)
            placed_.push_back({editor_.markerAdd(mark.line, kMarker), mark.text});
    editor_.SendScintilla(QsciScintilla::SCI_SETMODEVENTMASK, static_cast<unsigned long>(events));
    underlineShownLines();
    editor_.setMarginWidth(kMargin, placed_.empty() ? 0 : kMarginWidth);
    int line = 0;
    int index = 0;
    editor_.getCursorPosition(&line, &index);
    caretMoved(line);
}

void ErrorMarksView::underlineShownLines() {
    if (placed_.empty()) return;
    const auto send = [this](unsigned int message, unsigned long w = 0, long l = 0) {
        return editor_.SendScintilla(message, w, l);
    };
    send(QsciScintilla::SCI_SETINDICATORCURRENT, kIndicator);
    const long first =
        send(QsciScintilla::SCI_DOCLINEFROMVISIBLE,
             static_cast<unsigned long>(send(QsciScintilla::SCI_GETFIRSTVISIBLELINE)));
    const long last =
        std::min<long>(first + send(QsciScintilla::SCI_LINESONSCREEN) + 1, editor_.lines() - 1);
    for (long line = first; line <= last; ++line) {
        if (!(editor_.markersAtLine(static_cast<int>(line)) & (1 << kMarker))) continue;
        const long from =
            send(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long to =
            send(QsciScintilla::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        if (to > from && send(QsciScintilla::SCI_INDICATORVALUEAT, kIndicator, from) == 0)
            send(QsciScintilla::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(from),
                 to - from);
    }
}

QString ErrorMarksView::textAt(int line) const {
    // Most lines carry no mark: the control answers that at once.
    if (placed_.empty() || !(editor_.markersAtLine(line) & (1 << kMarker))) return {};
    // The markers keep their order as lines come and go (a deleted line's
    // marker joins the line before), so the first one on the line is found
    // by halving; the control finds a marker's line by looking through them all.
    const auto first = std::partition_point(placed_.begin(), placed_.end(), [&](const Placed& p) {
        return editor_.markerLine(p.handle) < line;
    });
    QString text;
    for (auto p = first; p != placed_.end() && editor_.markerLine(p->handle) == line; ++p)
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + p->text;
    return text;
}

void ErrorMarksView::caretMoved(int line) {
    const QString text = textAt(line);
    if (text == atCaret_) return;
    atCaret_ = text;
    if (caretMessage_) caretMessage_(text);
}

void ErrorMarksView::dwell(int x, int y) {
    // The nearest position, also from the margin, gives the line under the mouse.
    const long position = editor_.SendScintilla(
        QsciScintilla::SCI_POSITIONFROMPOINT, static_cast<unsigned long>(x), static_cast<long>(y));
    const int line =
        static_cast<int>(editor_.SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, position));
    const QString text = textAt(line);
    if (!text.isEmpty())
        QToolTip::showText(editor_.viewport()->mapToGlobal(QPoint(x, y)), text, editor_.viewport());
}

}  // namespace quv
