#pragma once

#include "colorcodes/colorcodes.h"

#include <QImage>
#include <QWidget>

class QCursor;

namespace platform {

// A picture box: a background colour (a colour value) with a one-pixel border and an
// optional image drawn over the colour inside the border.
//
// As a drag source it starts a drag as soon as the mouse button goes down on it and shows
// the drag cursor until the button is released; the release raises DragDrop(source) on
// the drop target under the pointer, if any. A press and release on the same box is a
// drop on itself. The drag is the window's own, so it behaves the same on every window
// system and tests drive it with plain mouse events.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    using CursorFactory = const QCursor &(*)();

    explicit PictureBox(QWidget *parent);
    ~PictureBox() override;

    colorcodes::ColorValue backColor() const { return backColor_; }
    void setBackColor(colorcodes::ColorValue color);

    const QImage &picture() const { return picture_; }
    void setPicture(const QImage &picture);

    // The cursor is made on the first drag only.
    void setDragSource(CursorFactory dragIcon);
    void setDropTarget(bool target);

Q_SIGNALS:
    void DragDrop(platform::PictureBox *source);
    void DblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void endDrag();

    colorcodes::ColorValue backColor_ = 0;
    QImage picture_;
    CursorFactory dragIcon_ = nullptr;
    bool dropTarget_ = false;
    bool dragging_ = false;
};

QColor ToQColor(colorcodes::ColorValue color);
colorcodes::ColorValue FromQColor(const QColor &color);

} // namespace platform
