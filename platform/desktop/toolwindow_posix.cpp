#include "platform/desktop/toolwindow.h"

#include <QWindow>

namespace platform {

void SetKeptAbove(QWidget &window, bool on)
{
    // As for the main window: the QWindow flag changes the native window in place, where
    // QWidget::setWindowFlag would recreate it.
    window.winId();
    if (QWindow *handle = window.windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, on);
}

bool IsKeptAbove(const QWidget &window)
{
    const QWindow *handle = window.windowHandle();
    return handle && handle->flags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace platform
