#include "platform/controls/picturebox.h"

#include "platform/controls/accessibility.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>

namespace platform {

QColor ToQColor(colorcodes::ColorValue color)
{
    const colorcodes::ColorCodes parts = colorcodes::SplitColor(color);
    return {parts.R, parts.G, parts.B};
}

colorcodes::ColorValue FromQColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return colorcodes::MakeColor(rgb.red(), rgb.green(), rgb.blue());
}

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
    , backColor_(FromQColor(palette().color(QPalette::Base)))
{
    InstallAccessibleInterfaces();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox()
{
    endDrag();
}

void PictureBox::setBackColor(colorcodes::ColorValue color)
{
    if (color == backColor_)
        return;
    backColor_ = color;
    update();
    readingChanged();
}

void PictureBox::setPicture(const QImage &picture)
{
    if (picture.isNull() && picture_.isNull())
        return;
    // Qt passes accessibility events on only while assistive technology listens.
    const bool told = QAccessible::isActive();
    const bool wasMarked = told && reading().marked;
    picture_ = picture;
    update();
    if (!told)
        return;
    if (reading().marked != wasMarked) {
        QAccessibleEvent marked(
            this, wasMarked ? QAccessible::SelectionRemove : QAccessible::SelectionAdd);
        QAccessible::updateAccessibility(&marked);
    }
    readingChanged();
}

void PictureBox::setReader(Reader reader)
{
    reader_ = std::move(reader);
}

PictureBox::Reading PictureBox::reading() const
{
    return reader_ ? reader_(*this) : Reading{};
}

void PictureBox::readingChanged()
{
    // Qt's AT-SPI bridge passes a value change on only for numeric values; the reading
    // reaches a screen reader as the description.
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void PictureBox::addAccessibleAction(Action action)
{
    actions_.append(std::move(action));
}

void PictureBox::setDragSource(CursorFactory dragIcon)
{
    dragIcon_ = dragIcon;
}

void PictureBox::setDropTarget(bool target)
{
    dropTarget_ = target;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect();
    painter.fillRect(frame, palette().color(QPalette::Shadow));
    const QRect inner = frame.adjusted(1, 1, -1, -1);
    painter.fillRect(inner, ToQColor(backColor_));
    if (!picture_.isNull())
        painter.drawImage(inner.topLeft(), picture_);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (!dragIcon_ || event->button() != Qt::LeftButton || dragging_) {
        QWidget::mousePressEvent(event);
        return;
    }
    // While the button is down Qt delivers every mouse event to this box, even outside
    // the window, so no explicit grab is needed.
    dragging_ = true;
    QGuiApplication::setOverrideCursor(dragIcon_());
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    endDrag();
    event->accept();

    // Found in window coordinates, which every window system gives us, rather than
    // through the global pointer position, which Wayland does not.
    QWidget *top = window();
    QWidget *under = top->childAt(mapTo(top, event->position().toPoint()));
    auto *target = qobject_cast<PictureBox *>(under);
    if (target && target->dropTarget_)
        Q_EMIT target->DragDrop(this);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first click of the pair has already been a drop on this box. A box that handles
    // double clicks takes the second as one; any other starts its drag again.
    if (event->button() == Qt::LeftButton
        && isSignalConnected(QMetaMethod::fromSignal(&PictureBox::DblClick))) {
        event->accept();
        Q_EMIT DblClick();
        return;
    }
    mousePressEvent(event);
}

void PictureBox::endDrag()
{
    if (!dragging_)
        return;
    dragging_ = false;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
