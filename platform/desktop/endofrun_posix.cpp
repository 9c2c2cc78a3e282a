#include "platform/desktop/endofrun.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

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

} // namespace

void EndOfRun::watchEndings()
{
    if (!openSignalPipe())
        return;
    auto *signals = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(signals, &QSocketNotifier::activated, this, [this] {
        char drained[16];
        while (::read(signalPipe[0], drained, sizeof drained) > 0) { }
        endNow();
    });
    catchEndings();
}

void EndOfRun::releaseEndings()
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

} // namespace platform
