#include "platform/controls/linklabel.h"

#include "platform/controls/accessibility.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace platform {

LinkLabel::LinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    InstallAccessibleInterfaces();
    setFocusPolicy(Qt::TabFocus);
}

void LinkLabel::click()
{
    Q_EMIT Click();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        click();
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            event->accept();
            click();
            return;
        }
        break;
    default:
        break;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    // Around the text, which is often much shorter than the label.
    frame.rect = QRect(contentsRect().topLeft(), fontMetrics().size(0, text()))
                     .intersected(contentsRect());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

} // namespace platform
