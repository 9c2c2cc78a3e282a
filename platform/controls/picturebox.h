#pragma once

#include "colorcodes/colorcodes.h"

#include <QImage>
#include <QList>
#include <QWidget>

#include <functional>

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

    // How assistive technology reads the box, asked afresh each time: its content in words
    // (value), what a screen reader adds when it describes the box (description), whether
    // the box is one of a row that can carry a mark, and whether it carries it.
    struct Reading {
        QString value;
        QString description;
        bool markable = false;
        bool marked = false;
    };
    using Reader = std::function<Reading(const PictureBox &)>;
    void setReader(Reader reader);
    Reading reading() const;
    // Tells assistive technology that the reading has changed. A new colour or picture
    // tells it by itself; this is for a reading that depends on more than the box.
    void readingChanged();

    // Actions that assistive technology offers on the box, the first one its default.
    struct Action {
        QString name;
        QString description;
        std::function<void()> run;
    };
    void addAccessibleAction(Action action);
    const QList<Action> &accessibleActions() const { return actions_; }

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
    Reader reader_;
    QList<Action> actions_;
};

QColor ToQColor(colorcodes::ColorValue color);
colorcodes::ColorValue FromQColor(const QColor &color);

} // namespace platform
