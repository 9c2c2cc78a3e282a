#include "platform/desktop/screencapture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace platform {

bool QtScreenCapture::available()
{
    return !QGuiApplication::screens().isEmpty();
}

std::vector<Capture> QtScreenCapture::captureScreens()
{
    std::vector<Capture> captures;
    for (QScreen *screen : QGuiApplication::screens()) {
        // The grab comes in the screen's physical pixels; picks index them directly.
        QImage image = screen->grabWindow(0).toImage();
        if (image.isNull())
            continue;
        image.setDevicePixelRatio(1);
        captures.push_back({std::move(image), screen->geometry(), screen->devicePixelRatio()});
    }
    return captures;
}

std::vector<Capture> SplitDesktopImage(const QImage &desktop, const QList<QRect> &monitors)
{
    QRect bounds;
    for (const QRect &monitor : monitors)
        bounds |= monitor;
    if (desktop.isNull() || bounds.isEmpty())
        return {};

    const qreal scaleX = qreal(desktop.width()) / bounds.width();
    const qreal scaleY = qreal(desktop.height()) / bounds.height();
    const auto toPicture = [&](int x, int y) {
        return QPoint(qRound((x - bounds.left()) * scaleX), qRound((y - bounds.top()) * scaleY));
    };
    std::vector<Capture> captures;
    for (const QRect &monitor : monitors) {
        // Edges are rounded, not the size, so that neighbouring monitors share no pixel.
        const QPoint from = toPicture(monitor.left(), monitor.top());
        const QPoint to
            = toPicture(monitor.left() + monitor.width(), monitor.top() + monitor.height());
        const QRect part
            = QRect(from, QSize(to.x() - from.x(), to.y() - from.y())).intersected(desktop.rect());
        if (part.isEmpty())
            continue;
        captures.push_back({desktop.copy(part), monitor, qreal(part.width()) / monitor.width()});
    }
    return captures;
}

} // namespace platform
