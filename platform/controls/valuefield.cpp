#include "platform/controls/valuefield.h"

#include "platform/controls/accessibility.h"
#include "platform/desktop/windowsystem.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <utility>

namespace platform {

namespace {

// The keys this field answers itself, ahead of any window shortcut on the same key.
bool IsOwnKey(const QKeyEvent *key)
{
    for (const QKeySequence::StandardKey own :
         {QKeySequence::Copy, QKeySequence::SelectAll, QKeySequence::MoveToPreviousChar,
          QKeySequence::MoveToNextChar, QKeySequence::SelectPreviousChar,
          QKeySequence::SelectNextChar, QKeySequence::MoveToStartOfLine,
          QKeySequence::MoveToEndOfLine, QKeySequence::SelectStartOfLine,
          QKeySequence::SelectEndOfLine})
        if (key->matches(own))
            return true;
    return false;
}

} // namespace

ValueField::ValueField(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::IBeamCursor);
    InstallAccessibleInterfaces();
}

void ValueField::setText(const QString &text)
{
    if (text == text_)
        return;
    // A selection of the whole text stays whole; otherwise the caret and the anchor stay
    // where they were, as far as the new text reaches.
    const bool whole = selectionStart() == 0 && selectionEnd() == text_.size() && !text_.isEmpty();
    QString old = std::exchange(text_, text);
    const int size = int(text_.size());
    if (whole) {
        anchor_ = 0;
        cursor_ = size;
    } else {
        anchor_ = std::min(anchor_, size);
        cursor_ = std::min(cursor_, size);
    }
    // Telling assistive technology costs a look-up of the accessible object and a message;
    // a slider step rewrites every field, so skip it while none is listening.
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, old, text_);
        QAccessible::updateAccessibility(&event);
    }
    update();
}

void ValueField::select(int anchor, int cursor)
{
    const int size = int(text_.size());
    anchor = std::clamp(anchor, 0, size);
    cursor = std::clamp(cursor, 0, size);
    if (anchor == anchor_ && cursor == cursor_)
        return;
    const bool hadSelection = anchor_ != cursor_;
    anchor_ = anchor;
    cursor_ = cursor;
    if (QAccessible::isActive()) {
        if (hadSelection || anchor_ != cursor_) {
            const bool any = anchor_ != cursor_;
            QAccessibleTextSelectionEvent event(this, any ? selectionStart() : -1,
                                                any ? selectionEnd() : -1);
            event.setCursorPosition(cursor_);
            QAccessible::updateAccessibility(&event);
        } else {
            QAccessibleTextCursorEvent event(this, cursor_);
            QAccessible::updateAccessibility(&event);
        }
    }
    update();
}

QRect ValueField::textArea() const
{
    return rect().adjusted(4, 0, -4, 0);
}

QString ValueField::shownText() const
{
    return fontMetrics().elidedText(text_, Qt::ElideRight, textArea().width());
}

int ValueField::xOf(int position) const
{
    // Past an elision the positions of the hidden characters fall on the right edge.
    const QRect area = textArea();
    const int x = area.left() + fontMetrics().horizontalAdvance(text_.left(position));
    return std::min(x, area.right());
}

QRect ValueField::characterRect(int position) const
{
    if (position < 0 || position >= text_.size())
        return {};
    const int left = xOf(position);
    return {left, 0, xOf(position + 1) - left, height()};
}

int ValueField::positionAt(QPoint point) const
{
    // The boundary nearest the point: the first whose right half holds it.
    for (int position = 0; position < text_.size(); ++position)
        if (point.x() < (xOf(position) + xOf(position + 1) + 1) / 2)
            return position;
    return int(text_.size());
}

void ValueField::setWidthSample(const QString &sample)
{
    widthSample_ = sample;
    updateGeometry();
}

QSize ValueField::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(widthSample_) + 12, metrics.height() + 8};
}

QSize ValueField::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QLatin1Char('x')) * 6 + 8, sizeHint().height()};
}

void ValueField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
    const QRect inside = textArea();
    const QString shown = shownText();
    constexpr int align = Qt::AlignVCenter | Qt::AlignLeft;
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(inside, align, shown);
    if (!hasFocus())
        return;
    // The selection and the caret show only while the field has the focus, as in a line
    // edit; the selected part is drawn again over the highlight.
    const int top = (height() - fontMetrics().height()) / 2;
    if (anchor_ != cursor_) {
        const QRect band(QPoint(xOf(selectionStart()), top),
                         QPoint(xOf(selectionEnd()) - 1, top + fontMetrics().height() - 1));
        painter.fillRect(band, palette().color(QPalette::Highlight));
        painter.setClipRect(band);
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(inside, align, shown);
    } else {
        const int x = xOf(cursor_);
        painter.drawLine(x, top, x, top + fontMetrics().height() - 1);
    }
}

bool ValueField::event(QEvent *event)
{
    // The keys this field uses are its own, as they are a line edit's: a window shortcut on
    // the same key (the owner's menus reach into its tool windows) must not take them.
    if (event->type() == QEvent::ShortcutOverride && IsOwnKey(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void ValueField::keyPressEvent(QKeyEvent *event)
{
    const int size = int(text_.size());
    const int start = selectionStart(), end = selectionEnd();
    if (event->matches(QKeySequence::Copy))
        CopyToClipboard(start == end ? text_ : text_.mid(start, end - start));
    else if (event->matches(QKeySequence::SelectAll))
        select(0, size);
    else if (event->matches(QKeySequence::MoveToPreviousChar))
        select(start == end ? cursor_ - 1 : start, start == end ? cursor_ - 1 : start);
    else if (event->matches(QKeySequence::MoveToNextChar))
        select(start == end ? cursor_ + 1 : end, start == end ? cursor_ + 1 : end);
    else if (event->matches(QKeySequence::SelectPreviousChar))
        select(anchor_, cursor_ - 1);
    else if (event->matches(QKeySequence::SelectNextChar))
        select(anchor_, cursor_ + 1);
    else if (event->matches(QKeySequence::MoveToStartOfLine))
        select(0, 0);
    else if (event->matches(QKeySequence::MoveToEndOfLine))
        select(size, size);
    else if (event->matches(QKeySequence::SelectStartOfLine))
        select(anchor_, 0);
    else if (event->matches(QKeySequence::SelectEndOfLine))
        select(anchor_, size);
    else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ValueField::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        const int at = positionAt(event->position().toPoint());
        select(event->modifiers() & Qt::ShiftModifier ? anchor_ : at, at);
    }
    QWidget::mousePressEvent(event);
}

void ValueField::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        select(anchor_, positionAt(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}

void ValueField::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        select(0, int(text_.size()));
    QWidget::mouseDoubleClickEvent(event);
}

void ValueField::focusInEvent(QFocusEvent *event)
{
    // Reached from the keyboard, the value is selected whole, ready to copy.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
        || reason == Qt::ShortcutFocusReason)
        select(0, int(text_.size()));
    QWidget::focusInEvent(event);
}

void ValueField::focusOutEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        select(cursor_, cursor_);
    QWidget::focusOutEvent(event);
}

} // namespace platform
