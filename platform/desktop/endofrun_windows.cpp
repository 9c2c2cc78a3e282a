#include "platform/desktop/endofrun.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

#include <functional>
#include <memory>

namespace platform {

namespace {

// Windows ends the process once WM_ENDSESSION has been answered, before the event loop
// runs again: the values are stored while the message is handled.
class SessionEnd final : public QAbstractNativeEventFilter {
public:
    explicit SessionEnd(std::function<void()> onEnd)
        : onEnd_(std::move(onEnd))
    {
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        // wParam is FALSE when the session goes on after all.
        if (msg->message == WM_ENDSESSION && msg->wParam)
            onEnd_();
        return false;
    }

private:
    std::function<void()> onEnd_;
};

std::unique_ptr<SessionEnd> sessionEnd;

} // namespace

void EndOfRun::watchEndings()
{
    sessionEnd = std::make_unique<SessionEnd>([this] { storeOnce(); });
    QCoreApplication::instance()->installNativeEventFilter(sessionEnd.get());
}

void EndOfRun::releaseEndings()
{
    if (sessionEnd && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(sessionEnd.get());
    sessionEnd.reset();
}

} // namespace platform
