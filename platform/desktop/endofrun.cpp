#include "platform/desktop/endofrun.h"

#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>

#if defined(Q_OS_UNIX)
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// The one object of the run, for the exit handler (which takes no argument).
EndOfRun *running = nullptr;

#if defined(Q_OS_UNIX)

constexpr std::array<int, 3> Endings = {SIGTERM, SIGHUP, SIGINT};

// The pipe between the signal handler and the event loop; the handler may touch nothing
// else.
int signalPipe[2] = {-1, -1};
std::array<struct sigaction, Endings.size()> before{};
std::array<bool, Endings.size()> caught{};

extern "C" void onSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool openSignalPipe()
{
    if (::pipe(signalPipe) != 0)
        return false;
    for (int fd : signalPipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void catchEndings()
{
    for (std::size_t i = 0; i < Endings.size(); ++i) {
        struct sigaction action { };
        action.sa_handler = onSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        if (::sigaction(Endings[i], nullptr, &before[i]) != 0 || before[i].sa_handler == SIG_IGN)
            continue;
        caught[i] = ::sigaction(Endings[i], &action, nullptr) == 0;
    }
}

void releaseEndings()
{
    for (std::size_t i = 0; i < Endings.size(); ++i) {
        if (caught[i])
            ::sigaction(Endings[i], &before[i], nullptr);
        caught[i] = false;
    }
    for (int &fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

#endif

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

#if defined(Q_OS_UNIX)
    if (openSignalPipe()) {
        signals_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(signals_, &QSocketNotifier::activated, this, &EndOfRun::endOnSignal);
        catchEndings();
    }
#endif
}

EndOfRun::~EndOfRun()
{
#if defined(Q_OS_UNIX)
    releaseEndings();
#endif
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

void EndOfRun::endOnSignal()
{
#if defined(Q_OS_UNIX)
    char drained[16];
    while (::read(signalPipe[0], drained, sizeof drained) > 0) { }
#endif
    storeOnce();
    QCoreApplication::exit(0);
}

void EndOfRun::atExit()
{
    if (running)
        running->storeOnce();
}

} // namespace platform
