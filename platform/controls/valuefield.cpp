#include "platform/controls/valuefield.h"

#include "platform/desktop/windowsystem.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace platform {

ValueField::ValueField(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ValueField::setText(const QString &text)
{
    if (text == text_)
        return;
    text_ = text;
    // Telling assistive technology costs a look-up of the accessible object; skip it when
    // none is listening (one that starts later sees the text from the next change on).
    if (QAccessible::isActive())
        setAccessibleDescription(text);
    update();
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
    const QRect inside = rect().adjusted(4, 0, -4, 0);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(inside, Qt::AlignVCenter | Qt::AlignLeft,
                     fontMetrics().elidedText(text_, Qt::ElideRight, inside.width()));
}

bool ValueField::event(QEvent *event)
{
    // The Copy key is this field's own, as it is a line edit's: a window shortcut on the
    // same key (the owner's menus reach into its tool windows) must not take it.
    if (event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void ValueField::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        CopyToClipboard(text_);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ValueField::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

} // namespace platform
