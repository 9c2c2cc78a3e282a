#pragma once

#include <QObject>

#include <chrono>
#include <functional>

class QWidget;

namespace platform {

// Stores the values whenever the run ends other than by SIGKILL or a crash, not only when
// the window is closed:
// - SIGTERM, SIGHUP and SIGINT (POSIX): the signal handler only writes the signal's number
//   into a pipe; the event loop reads it, stores the values and leaves every event loop, a
//   modal dialog's too. A second signal meanwhile waits in the pipe, so it cannot cut a
//   write short. A signal that was ignored when the program started stays ignored.
// - The session manager's request to save before the session ends (XSMP; on Windows
//   WM_QUERYENDSESSION): stores the values.
// - The end of the Windows session (WM_ENDSESSION): stores the values while the message is
//   handled, since Windows ends the process right after it.
// - Losing the display connection: Qt's platform plugin then calls exit(); an exit handler
//   stores the values from the controls, which still exist at that point.
// The window stores them itself when it closes; once it has closed, or once this object
// has stored them, nothing here stores them again.
class EndOfRun : public QObject {
    Q_OBJECT

public:
    // store: what the window's closing stores, run here in its place.
    EndOfRun(QWidget &window, std::function<void()> store);
    ~EndOfRun() override;

    EndOfRun(const EndOfRun &) = delete;
    EndOfRun &operator=(const EndOfRun &) = delete;

private:
    void storeOnce();
    // Stores the values and leaves every event loop.
    void endNow();
    static void atExit();

    // The platform's own endings (endofrun_<platform>.cpp): watched from construction until
    // destruction.
    void watchEndings();
    void releaseEndings();

    QWidget &window_;
    std::function<void()> store_;
    bool stored_ = false;
};

// Ends the process with `code` should the toolkit's tear-down after the run not finish within
// `limit`: Qt 6.4's Wayland plugin can wait forever for its event thread as it disconnects.
// The values are stored before the tear-down begins, so cutting it short loses nothing.
void EndTeardownWithin(std::chrono::milliseconds limit, int code);

} // namespace platform
