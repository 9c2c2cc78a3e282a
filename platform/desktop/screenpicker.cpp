#include "platform/desktop/screenpicker.h"

#include "platform/desktop/screencapture.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QtMath>

#include <algorithm>
#include <memory>
#include <vector>

namespace platform {
namespace {

constexpr int MagnifiedPixels = 11; // odd, so that one pixel is the centre
constexpr qreal BlockSize = 10;     // logical pixels per magnified pixel
constexpr qreal PanelGap = 20;      // logical pixels between the crosshair and the magnifier
// A menu that has just closed may still be on the screen until what lay beneath it has
// repainted; the capture waits that long.
constexpr int SettleMs = 100;

class Overlay;

struct Session {
    Session(const QString &title, const std::function<QString(QRgb)> &codeText)
        : title(title)
        , codeText(codeText)
    {
    }

    const QString &title;
    const std::function<QString(QRgb)> &codeText;
    QEventLoop loop;
    std::vector<std::unique_ptr<Overlay>> overlays;
    Overlay *current = nullptr;
    std::optional<QRgb> result;
    bool done = false;

    void start(const std::vector<Capture> &captures);
    void makeCurrent(Overlay *overlay);
    void finish(std::optional<QRgb> picked)
    {
        if (done)
            return;
        done = true;
        result = picked;
        loop.quit();
    }
};

// Fills a band of the given width just outside rect.
void outline(QPainter &painter, const QRect &rect, int width, const QColor &colour)
{
    const QRect outer = rect.adjusted(-width, -width, width, width);
    painter.fillRect(QRect(outer.topLeft(), QSize(outer.width(), width)), colour);
    painter.fillRect(QRect(outer.left(), rect.bottom() + 1, outer.width(), width), colour);
    painter.fillRect(QRect(outer.left(), rect.top(), width, rect.height()), colour);
    painter.fillRect(QRect(rect.right() + 1, rect.top(), width, rect.height()), colour);
}

// One monitor's cover. The crosshair is kept as a captured pixel, not as a logical point:
// at a fractional ratio most captured pixels have no logical point of their own, and the
// arrow keys must still reach each of them. The system pointer is hidden, since it can
// only stand on logical points; the drawn crosshair takes its place.
class Overlay final : public QWidget {
public:
    Overlay(Session &session, const Capture &capture)
        : session_(session)
        , image_(capture.image.convertToFormat(QImage::Format_RGB32))
        , geometry_(capture.geometry)
        , ratio_(capture.devicePixelRatio)
        , block_(std::max(1, qRound(BlockSize * ratio_)))
        , pixel_(image_.width() / 2, image_.height() / 2)
        , code_(new QLabel(this))
    {
        setObjectName(QStringLiteral("ScreenPickOverlay"));
        setWindowTitle(session.title);
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setCursor(Qt::BlankCursor);
        setFocusPolicy(Qt::StrongFocus);
        // Drawn at its own ratio, the picture lies pixel for pixel on the monitor.
        image_.setDevicePixelRatio(ratio_);

        code_->setObjectName(QStringLiteral("ScreenPickCode"));
        code_->setAttribute(Qt::WA_TransparentForMouseEvents);
        code_->setAutoFillBackground(true);
        code_->setAlignment(Qt::AlignCenter);
        code_->setMargin(2);
        QPalette palette = code_->palette();
        palette.setColor(QPalette::Window, Qt::white);
        palette.setColor(QPalette::WindowText, Qt::black);
        code_->setPalette(palette);
        code_->hide();
    }

    QRgb colour() const { return image_.pixel(pixel_); }

    // The captured pixel under a logical position: floor(position × ratio), kept on the
    // monitor. A native position divided by the ratio and multiplied back can land a hair
    // below its own pixel, hence the tolerance.
    QPoint pixelAt(QPointF position) const
    {
        constexpr qreal Tolerance = 1e-6;
        return QPoint(
            std::clamp(qFloor(position.x() * ratio_ + Tolerance), 0, image_.width() - 1),
            std::clamp(qFloor(position.y() * ratio_ + Tolerance), 0, image_.height() - 1));
    }

    void setPixel(QPoint pixel)
    {
        const QRect before = decoration();
        pixel_ = QPoint(std::clamp(pixel.x(), 0, image_.width() - 1),
                        std::clamp(pixel.y(), 0, image_.height() - 1));
        placeCode();
        update(before | decoration());
    }

    void setCurrent(bool current)
    {
        code_->setVisible(current);
        placeCode();
        update(decoration());
    }

    void present()
    {
        if (QScreen *screen = QGuiApplication::screenAt(geometry_.center()))
            setScreen(screen);
        setGeometry(geometry_);
        showFullScreen();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(QPointF(0, 0), image_);
        if (session_.current != this)
            return;
        // From here on a unit is one captured pixel.
        painter.scale(1 / ratio_, 1 / ratio_);
        paintCrosshair(painter);
        paintMagnifier(painter);
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        session_.makeCurrent(this);
        setPixel(pixelAt(event->position()));
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        // Every change of position has come as a move first; taking the crosshair's pixel
        // keeps what arrow keys chose since.
        session_.makeCurrent(this);
        if (event->button() == Qt::LeftButton)
            session_.finish(colour());
        else if (event->button() == Qt::RightButton)
            session_.finish(std::nullopt);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        // Only one cover has the keyboard, but the crosshair may be on another monitor.
        Overlay &target = session_.current ? *session_.current : *this;
        const int step = event->modifiers().testFlag(Qt::ShiftModifier) ? 10 : 1;
        switch (event->key()) {
        case Qt::Key_Left:
            target.setPixel(target.pixel_ - QPoint(step, 0));
            break;
        case Qt::Key_Right:
            target.setPixel(target.pixel_ + QPoint(step, 0));
            break;
        case Qt::Key_Up:
            target.setPixel(target.pixel_ - QPoint(0, step));
            break;
        case Qt::Key_Down:
            target.setPixel(target.pixel_ + QPoint(0, step));
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            session_.finish(target.colour());
            break;
        case Qt::Key_Escape:
            session_.finish(std::nullopt);
            break;
        default:
            QWidget::keyPressEvent(event);
        }
    }

    void closeEvent(QCloseEvent *event) override
    {
        // Closed by the window manager: the user wants out.
        session_.finish(std::nullopt);
        QWidget::closeEvent(event);
    }

private:
    int lineWidth() const { return std::max(1, qRound(ratio_)); }
    int crosshairGap() const { return qCeil(4 * ratio_); }
    int crosshairArm() const { return qCeil(12 * ratio_); }

    // The magnifier with the code below it, in logical pixels, beside the crosshair and
    // turned to the other side where the monitor ends.
    QRect panel() const
    {
        const QSize magnifier = QSize(MagnifiedPixels * block_, MagnifiedPixels * block_) / ratio_;
        const QSize size(std::max(magnifier.width(), code_->sizeHint().width()),
                         magnifier.height() + code_->sizeHint().height());
        const QPointF at = (QPointF(pixel_) + QPointF(0.5, 0.5)) / ratio_;
        qreal x = at.x() + PanelGap;
        if (x + size.width() > geometry_.width())
            x = at.x() - PanelGap - size.width();
        qreal y = at.y() + PanelGap;
        if (y + size.height() > geometry_.height())
            y = at.y() - PanelGap - size.height();
        return QRect(QPointF(x, y).toPoint(), size);
    }

    QPoint magnifierOrigin() const { return (QPointF(panel().topLeft()) * ratio_).toPoint(); }

    // What paintCrosshair and paintMagnifier touch, in logical pixels.
    QRect decoration() const
    {
        const int reach = crosshairGap() + crosshairArm() + 2 * lineWidth();
        const QRect crosshair(pixel_ - QPoint(reach, reach), QSize(2 * reach + 1, 2 * reach + 1));
        const QRectF logical(QPointF(crosshair.topLeft()) / ratio_,
                             QSizeF(crosshair.size()) / ratio_);
        return (logical.toAlignedRect() | panel()).adjusted(-2, -2, 2, 2);
    }

    void placeCode()
    {
        const QRect around = panel();
        const int magnifierBottom
            = qCeil((magnifierOrigin().y() + MagnifiedPixels * block_) / ratio_);
        code_->setText(session_.codeText(colour()));
        code_->setGeometry(around.left(), magnifierBottom, around.width(),
                           code_->sizeHint().height());
    }

    void paintCrosshair(QPainter &painter) const
    {
        // Arms around the pixel, not across it, so that the pixel itself stays in view.
        const int line = lineWidth();
        const int gap = crosshairGap();
        const int arm = crosshairArm();
        const int across = line / 2;
        const QRect arms[] = {
            {pixel_.x() - gap - arm, pixel_.y() - across, arm, line},
            {pixel_.x() + 1 + gap, pixel_.y() - across, arm, line},
            {pixel_.x() - across, pixel_.y() - gap - arm, line, arm},
            {pixel_.x() - across, pixel_.y() + 1 + gap, line, arm},
        };
        for (const QRect &rect : arms)
            outline(painter, rect, line, Qt::black);
        for (const QRect &rect : arms)
            painter.fillRect(rect, Qt::white);
    }

    void paintMagnifier(QPainter &painter) const
    {
        const QPoint origin = magnifierOrigin();
        const int half = MagnifiedPixels / 2;
        for (int row = 0; row < MagnifiedPixels; ++row) {
            for (int column = 0; column < MagnifiedPixels; ++column) {
                const QPoint source = pixel_ + QPoint(column - half, row - half);
                const QColor colour = image_.rect().contains(source) ? QColor(image_.pixel(source))
                                                                     : QColor(Qt::darkGray);
                painter.fillRect(
                    QRect(origin + QPoint(column * block_, row * block_), QSize(block_, block_)),
                    colour);
            }
        }
        const int line = lineWidth();
        const QRect centre(origin + QPoint(half * block_, half * block_), QSize(block_, block_));
        outline(painter, centre.adjusted(line, line, -line, -line), line, Qt::white);
        outline(painter, centre, line, Qt::black);
        outline(painter, QRect(origin, QSize(MagnifiedPixels * block_, MagnifiedPixels * block_)),
                line, Qt::black);
    }

    Session &session_;
    QImage image_;
    QRect geometry_;
    qreal ratio_;
    int block_;    // captured pixels per magnified pixel, whole so that every block is alike
    QPoint pixel_; // the crosshair, in captured pixels
    QLabel *code_;
};

void Session::start(const std::vector<Capture> &captures)
{
    const QPoint pointer = QCursor::pos();
    for (const Capture &capture : captures) {
        if (capture.image.isNull() || capture.geometry.isEmpty() || capture.devicePixelRatio <= 0)
            continue;
        auto overlay = std::make_unique<Overlay>(*this, capture);
        if (!current && capture.geometry.contains(pointer)) {
            overlay->setPixel(overlay->pixelAt(pointer - capture.geometry.topLeft()));
            current = overlay.get();
        }
        overlays.push_back(std::move(overlay));
    }
    if (overlays.empty()) {
        finish(std::nullopt);
        return;
    }
    if (!current)
        current = overlays.front().get();
    for (const std::unique_ptr<Overlay> &overlay : overlays)
        overlay->present();
    current->setCurrent(true);
    current->activateWindow();
    current->setFocus(Qt::OtherFocusReason);
}

void Session::makeCurrent(Overlay *overlay)
{
    if (current == overlay)
        return;
    Overlay *before = current;
    current = overlay;
    if (before)
        before->setCurrent(false);
    overlay->setCurrent(true);
    overlay->activateWindow();
    overlay->setFocus(Qt::OtherFocusReason);
}

} // namespace

std::optional<QRgb> PickScreenColor(ScreenCapture &screen, const QString &title,
                                    const std::function<QString(QRgb)> &codeText, QWidget *owner)
{
    // The program's shortcut still works while the screen settles; one pick is enough.
    static bool picking = false;
    if (picking)
        return std::nullopt;
    picking = true;

    std::optional<QRgb> result;
    {
        Session session(title, codeText);
        QTimer::singleShot(SettleMs, &session.loop,
                           [&session, &screen] { session.start(screen.captureScreens()); });
        session.loop.exec();
        result = session.result;
    }
    picking = false;
    if (owner)
        owner->activateWindow();
    return result;
}

} // namespace platform
