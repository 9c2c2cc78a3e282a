#pragma once

#include <QImage>
#include <QList>
#include <QRect>

#include <memory>
#include <vector>

// Reading what the monitors show, for picking a colour off the screen.
namespace platform {

// One monitor as it was when captured. The image keeps the monitor's physical pixels;
// a position in the monitor's logical coordinates lies on captured pixel
// floor(position × devicePixelRatio).
struct Capture {
    QImage image;
    QRect geometry; // the monitor in the desktop's logical coordinates
    qreal devicePixelRatio = 1;
};

class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    // Whether this desktop lets the program read the screen at all.
    virtual bool available() = 0;
    // Every monitor, captured at once; empty when the screen could not be read.
    virtual std::vector<Capture> captureScreens() = 0;
};

// Each monitor grabbed by the window system through QScreen (X11, Windows, macOS).
class QtScreenCapture final : public ScreenCapture {
public:
    bool available() override;
    std::vector<Capture> captureScreens() override;
};

// The way to read the screen on the platform the program runs on, or nullptr where there
// is none (the offscreen platform, a Wayland desktop without the screenshot portal).
std::unique_ptr<ScreenCapture> CreateScreenCapture();

// Cuts one picture of the whole desktop, as a Wayland compositor hands it out, into one
// capture per monitor. The picture may be at any scale of the logical desktop; each
// capture keeps the picture's own pixels and the ratio at which they cover the monitor.
std::vector<Capture> SplitDesktopImage(const QImage &desktop, const QList<QRect> &monitors);

} // namespace platform
