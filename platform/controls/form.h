#pragma once

#include <QMainWindow>

#include <optional>

namespace platform {

// The area that holds a form's controls. Controls hidden in it are out of the reach of
// assistive technology as well as out of sight.
class ClientArea : public QWidget {
    Q_OBJECT

public:
    explicit ClientArea(QWidget *parent);
};

// A top-level window with a fixed single border and no maximise button, whose width and
// height are outer sizes in twips (border, title bar and menu bar included), which opens
// centred on its screen.
//
// Controls that lie wholly beyond the window's edges take no keyboard focus while they do,
// so that Tab never leaves the focus on a control that no one can see.
//
// The window system tells the frame's size only once the window is mapped, so the client
// size is worked out again whenever the frame margins become known or change.
//
// The outer height is kept as given unless the frame left too little room for the content
// below the menu bar: a title bar that a window manager draws taller (a larger font, or a
// display scale it does not follow) then makes the window taller rather than cut into the
// content. A frame that is thinner than designed leaves the client area taller instead.
class Form : public QMainWindow {
    Q_OBJECT

public:
    explicit Form(QWidget *parent = nullptr);

    // Outer sizes in twips. Setting the width keeps the left edge where it is.
    int outerWidth() const;
    int outerHeight() const;
    void setOuterWidth(int twips);
    void setOuterHeight(int twips);

    // The height, in pixels, of the client area below the menu bar that must stay in view.
    void setMinimumContentHeight(int pixels);

protected:
    bool event(QEvent *event) override;

private:
    QMargins frameMarginsNow() const;
    void applyOuterSize();
    void followFrameMargins();
    void centreOnScreen();
    void settlePlacement();
    void keepFocusInSight();

    QSize outerPixels_;
    QSize shownOuter_; // taller than outerPixels_ where the content needs it
    int minimumContent_ = 0;
    QMargins appliedMargins_;
    bool placed_ = false;
    bool centredWithFrame_ = false;
    // Where the frame is meant to open, until the window manager has really put it there.
    std::optional<QPoint> pendingFrameAt_;
    int placingTries_ = 0;
};

} // namespace platform
