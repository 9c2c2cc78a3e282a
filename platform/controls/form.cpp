#include "platform/controls/form.h"

#include "platform/controls/accessibility.h"
#include "platform/controls/twips.h"

#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace platform {

namespace {

// The focus policy a control had before it went out of sight.
constexpr char PolicyInSight[] = "platformFocusPolicyInSight";

} // namespace

ClientArea::ClientArea(QWidget *parent)
    : QWidget(parent)
{
    InstallAccessibleInterfaces();
}

Form::Form(QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                      | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                      | Qt::WindowCloseButtonHint)
{
}

int Form::outerWidth() const
{
    return ToTwips(frameGeometry().width());
}

int Form::outerHeight() const
{
    return ToTwips(frameGeometry().height());
}

void Form::setOuterWidth(int twips)
{
    outerPixels_.setWidth(Twips(twips));
    applyOuterSize();
}

void Form::setOuterHeight(int twips)
{
    outerPixels_.setHeight(Twips(twips));
    applyOuterSize();
}

void Form::setMinimumContentHeight(int pixels)
{
    minimumContent_ = pixels;
    if (!outerPixels_.isEmpty())
        applyOuterSize();
}

QMargins Form::frameMarginsNow() const
{
    const QWindow *handle = windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void Form::applyOuterSize()
{
    const QMargins frame = frameMarginsNow();
    appliedMargins_ = frame;
    const int width = outerPixels_.width() - frame.left() - frame.right();
    int height = outerPixels_.height() - frame.top() - frame.bottom();
    if (minimumContent_ > 0) {
        const QWidget *menu = menuWidget();
        const int menuHeight = !menu    ? 0
            : menu->hasHeightForWidth() ? menu->heightForWidth(width)
                                        : menu->sizeHint().height();
        height = std::max(height, menuHeight + minimumContent_);
    }
    setFixedSize(std::max(width, 1), std::max(height, 1));
    shownOuter_ = QSize(outerPixels_.width(), height + frame.top() + frame.bottom());
}

void Form::centreOnScreen()
{
    const QScreen *where = screen();
    if (!where)
        return;
    const QRect area = where->availableGeometry();
    const QPoint frameAt(area.x() + (area.width() - shownOuter_.width()) / 2,
                         area.y() + (area.height() - shownOuter_.height()) / 2);
    // Before the window manager has framed the window its margins are unknown: the client
    // goes there, and the window is centred again when they become known. After that the
    // client is placed inside the frame by the margins the window manager reports; move()
    // would rely on Qt's own copy of them, which can lag behind and leave the frame a title
    // bar's height too high.
    pendingFrameAt_ = frameAt;
    const QMargins frame = frameMarginsNow();
    if (frame.isNull())
        move(frameAt);
    else
        setGeometry(QRect(frameAt + QPoint(frame.left(), frame.top()), size()));
}

void Form::settlePlacement()
{
    // On a loaded machine the frame can still end up a title bar's height off after the
    // margins were known, so the placement is checked against where the frame really lies
    // and made again, a few times at most; once the frame is there it is the user's.
    if (!pendingFrameAt_ || frameMarginsNow().isNull())
        return;
    if (frameGeometry().topLeft() == *pendingFrameAt_ || placingTries_ >= 5) {
        pendingFrameAt_.reset();
        return;
    }
    ++placingTries_;
    centreOnScreen();
}

void Form::followFrameMargins()
{
    if (!outerPixels_.isEmpty() && frameMarginsNow() != appliedMargins_) {
        applyOuterSize();
        if (!centredWithFrame_) {
            centredWithFrame_ = true;
            centreOnScreen();
            return;
        }
    }
    settlePlacement();
}

bool Form::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        if (!placed_) {
            placed_ = true;
            centreOnScreen();
            // The reparenting may also come after every event that looks for it, with
            // nothing moving; so look a few more times while the window settles.
            for (int delay : {100, 300, 1000, 2000, 4000})
                QTimer::singleShot(delay, this, &Form::followFrameMargins);
        }
        break;
    // The frame's margins become known when the window manager reparents the window,
    // which Qt reports with no event of its own; usually they are there by the first paint.
    case QEvent::Resize:
        keepFocusInSight();
        followFrameMargins();
        break;
    case QEvent::Move:
    case QEvent::UpdateRequest:
    case QEvent::Paint:
    case QEvent::WindowActivate:
    case QEvent::WindowStateChange:
        followFrameMargins();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void Form::keepFocusInSight()
{
    const QRect inSight = rect();
    for (QWidget *control : findChildren<QWidget *>()) {
        if (control->isWindow())
            continue;
        const QRect where(control->mapTo(this, QPoint(0, 0)), control->size());
        const QVariant saved = control->property(PolicyInSight);
        if (!where.intersects(inSight)) {
            if (!saved.isValid() && control->focusPolicy() != Qt::NoFocus) {
                control->setProperty(PolicyInSight, int(control->focusPolicy()));
                control->setFocusPolicy(Qt::NoFocus);
            }
        } else if (saved.isValid()) {
            control->setFocusPolicy(Qt::FocusPolicy(saved.toInt()));
            control->setProperty(PolicyInSight, QVariant());
        }
    }
}

} // namespace platform
