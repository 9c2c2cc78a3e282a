#include "platform/desktop/windowsystem.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <optional>

namespace platform {

namespace {

class OwnerCentring : public QObject {
public:
    explicit OwnerCentring(QWidget &window)
        : QObject(&window)
        , window_(window)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &window_)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            // Before QDialog's own placement, which a placed window skips.
            place();
            // The reparenting may come after every event that looks for it.
            for (const int delay : {100, 300, 1000})
                QTimer::singleShot(delay, this, [this] { followFrame(); });
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::UpdateRequest:
        case QEvent::Paint:
        case QEvent::WindowActivate:
            followFrame();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QMargins frameMargins() const
    {
        const QWindow *handle = window_.windowHandle();
        return handle ? handle->frameMargins() : QMargins();
    }

    void followFrame()
    {
        if (applied_ && frameMargins() != *applied_)
            place();
    }

    void place()
    {
        const QWidget *owner = window_.parentWidget() ? window_.parentWidget()->window() : nullptr;
        if (!owner)
            return;
        applied_ = frameMargins();
        QRect frame(QPoint(), window_.size().grownBy(*applied_));
        frame.moveCenter(owner->frameGeometry().center());
        // move() places the frame once Qt knows its margins, the client before that.
        window_.move(frame.topLeft());
    }

    QWidget &window_;
    std::optional<QMargins> applied_;
};

} // namespace

void CentreOnOwner(QWidget &window)
{
    new OwnerCentring(window);
}

void CopyToClipboard(const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

} // namespace platform
