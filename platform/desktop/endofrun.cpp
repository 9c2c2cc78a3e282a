#include "platform/desktop/endofrun.h"

#include <QGuiApplication>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace platform {

namespace {

// The one object of the run, for the exit handler (which takes no argument).
EndOfRun *running = nullptr;

} // namespace

EndOfRun::EndOfRun(QWidget &window, std::function<void()> store)
    : window_(window)
    , store_(std::move(store))
{
    running = this;
    static const bool handlerInstalled = std::atexit(&EndOfRun::atExit) == 0;
    Q_UNUSED(handlerInstalled);

#if QT_CONFIG(sessionmanager)
    // The session may yet go on (the user can cancel the logout), so this stores the values
    // without ending the run, and a later ending stores them again.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this] {
        if (window_.isVisible())
            store_();
    });
#endif

    watchEndings();
}

EndOfRun::~EndOfRun()
{
    releaseEndings();
    running = nullptr;
}

void EndOfRun::storeOnce()
{
    // A window that has closed has stored the values itself.
    if (stored_ || !window_.isVisible())
        return;
    stored_ = true;
    store_();
}

void EndOfRun::endNow()
{
    storeOnce();
    QCoreApplication::exit(0);
}

void EndOfRun::atExit()
{
    if (running)
        running->storeOnce();
}

void EndTeardownWithin(std::chrono::milliseconds limit, int code)
{
    std::thread([limit, code] {
        std::this_thread::sleep_for(limit);
        std::fflush(nullptr);
        std::_Exit(code);
    }).detach();
}

} // namespace platform
