// Picking a colour off the screen: each position lands on the captured pixel beneath it
// at every ratio, the keys step by captured pixels within the monitor, and a pick reaches
// the number fields the way every other source of a colour does.

#include "app/chromalynx.h"
#include "platform/optionbutton.h"
#include "platform/picturebox.h"
#include "platform/screencapture.h"
#include "platform/textbox.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

using namespace platform;

// A captured pixel's colour spells its own position: red and green are the low bytes of x
// and y, blue holds their high bits.
QRgb colourAt(QPoint at)
{
    return qRgb(at.x() & 255, at.y() & 255, (at.x() >> 8) << 4 | (at.y() >> 8));
}

QString codeOf(QRgb c, const QString &notation)
{
    if (notation == QLatin1String("VB"))
        return QString::asprintf("&H00%02X%02X%02X", qBlue(c), qGreen(c), qRed(c));
    if (notation == QLatin1String("DEC"))
        return QString::number(qRed(c) + 256 * qGreen(c) + 65536 * qBlue(c));
    return QString::asprintf("#%02X%02X%02X", qRed(c), qGreen(c), qBlue(c));
}

struct FakeCapture final : ScreenCapture {
    bool canRead = true;
    bool available() override { return canRead; }
    // Every monitor as the window system would give it, in its physical pixels.
    std::vector<Capture> captureScreens() override
    {
        std::vector<Capture> captures;
        for (const QScreen *screen : QGuiApplication::screens()) {
            const qreal ratio = screen->devicePixelRatio();
            QImage image((QSizeF(screen->size()) * ratio).toSize(), QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, colourAt({x, y}));
            captures.push_back({image, screen->geometry(), ratio});
        }
        return captures;
    }
};

// The window, with desktop services that answer nothing.
struct Window final : ColorDialog, MessageBox, Desktop, settings::Store {
    bool ShowColor(QWidget *) override { return false; }
    bool confirm(QWidget *, const QString &, const QString &) override { return false; }
    void inform(QWidget *, const QString &, const QString &) override { }
    void open(const QUrl &) override { }
    std::optional<std::string> read(std::string_view, std::string_view) override { return {}; }
    void write(std::string_view, std::string_view, std::string_view) override { }
    void flush() override { }

    FakeCapture capture;
    std::unique_ptr<Chromalynx> w;

    Chromalynx &start(ScreenCapture *screen)
    {
        w = std::make_unique<Chromalynx>(Services{*this, *this, *this, *this, QString(), screen});
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the window did not become active");
        return *w;
    }
};

QWidget *coverOn(const QString &screen)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("ScreenPickOverlay") && top->isVisible()
            && top->screen()->name() == screen)
            return top;
    return nullptr;
}

} // namespace

class ScreenPickTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void takesTheCapturedPixelUnderTheCrosshair_data()
    {
        QTest::addColumn<QString>("screen");   // named by its ratio
        QTest::addColumn<QPointF>("at");       // where the pointer moves first
        QTest::addColumn<QString>("then");     // keys, "click" or "right-click"
        QTest::addColumn<QPoint>("crosshair"); // the captured pixel under it at the end
        QTest::addColumn<QString>("notation");
        const auto row = [](const char *tag, const char *screen, QPointF at, const char *then,
                            QPoint crosshair, const char *notation = "HTML") {
            QTest::newRow(tag) << screen << at << then << crosshair << notation;
        };
        row("1", "1", {3, 5}, "Return", {3, 5});
        row("1.25", "1.25", {2.5, 3.5}, "Return", {3, 4}, "VB");
        row("1.5", "1.5", {3, 5}, "Return", {4, 7}, "DEC");
        row("1.5 between", "1.5", {2.5, 3.5}, "Return", {3, 5});
        row("2", "2", {3, 5}, "Return", {6, 10});
        row("2 arrows", "2", {3, 5}, "Right Down Down Left Right Return", {7, 12}, "VB");
        row("2 shift", "2", {3, 5}, "Shift+Right Shift+Down Shift+Up Return", {16, 10});
        row("clamped low", "1.5", {3, 5}, "Shift+Left Shift+Up Return", {0, 0});
        row("clamped high", "2", {399.75, 299.75}, "Right Shift+Down Return", {799, 599});
        row("click after keys", "2", {3, 5}, "Right click", {7, 10});
        row("Escape", "2", {3, 5}, "Right Escape", {7, 10}, "DEC");
        row("right click", "1", {3, 5}, "right-click", {3, 5});
    }

    void takesTheCapturedPixelUnderTheCrosshair()
    {
        QFETCH(QString, screen);
        QFETCH(QPointF, at);
        QFETCH(QString, then);
        QFETCH(QPoint, crosshair);
        QFETCH(QString, notation);

        Window f;
        Chromalynx &w = f.start(&f.capture);
        w.findChild<OptionButton *>("Option_" + notation)->setValue(true);
        QString changes;
        for (TextBox *field : {w.RText, w.GText, w.BText})
            connect(field, &TextBox::Change, this,
                    [&changes, field] { changes += field->accessibleName(); });

        // Wayland delivers fractional positions; QTest only has whole ones.
        const auto send = [](QWidget *cover, QEvent::Type type, Qt::MouseButton button,
                             QPointF at) {
            QMouseEvent event(type, at, cover->mapToGlobal(at), button, button, Qt::NoModifier);
            QApplication::sendEvent(cover, &event);
        };
        QString shown;
        // The entry returns only once the pick has ended, so a timer drives the pick.
        QTimer::singleShot(0, &w, [&] {
            // Nothing may leave the pick running; had the steps not ended it, this Return
            // would take the colour.
            const auto end = qScopeGuard([&] {
                if (QWidget *cover = coverOn(screen))
                    QTest::keyClick(cover, Qt::Key_Return);
            });
            QWidget *cover = nullptr;
            QVERIFY(QTest::qWaitFor([&] { return (cover = coverOn(screen)) != nullptr; }));
            send(cover, QEvent::MouseMove, Qt::NoButton, at);
            // The keyboard follows the crosshair to its monitor.
            QVERIFY(QTest::qWaitForWindowActive(cover));
            for (const QString &step : then.split(u' ')) {
                if (step.endsWith(QLatin1String("click")))
                    send(cover, QEvent::MouseButtonPress,
                         step == QLatin1String("click") ? Qt::LeftButton : Qt::RightButton, at);
                else
                    QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
            }
            shown = cover->findChild<QLabel *>(QStringLiteral("ScreenPickCode"))->text();
        });
        w.display_pick->trigger();

        const bool taken = !then.endsWith(QLatin1String("Escape")) && !then.startsWith(u'r');
        const QRgb now = taken ? colourAt(crosshair) : qRgb(255, 255, 255);
        QCOMPARE(shown, codeOf(colourAt(crosshair), notation));
        QCOMPARE(w.RText->text() + u',' + w.GText->text() + u',' + w.BText->text(),
                 QStringLiteral("%1,%2,%3").arg(qRed(now)).arg(qGreen(now)).arg(qBlue(now)));
        QCOMPARE(changes, taken ? QStringLiteral("RGB") : QString());
        for (const PictureBox *swatch : w.FavoriteColor)
            QCOMPARE(swatch->backColor(), colorcodes::White);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

    void entryGreyedWhereTheScreenCannotBeRead()
    {
        Window f;
        QVERIFY(f.start(&f.capture).display_pick->isEnabled());
        QVERIFY(!f.start(nullptr).display_pick->isEnabled());
        f.capture.canRead = false;
        QVERIFY(!f.start(&f.capture).display_pick->isEnabled());
    }
};

int main(int argc, char *argv[])
{
    // Monitors at four ratios side by side, each named by its ratio.
    QTemporaryFile config;
    if (!config.open()
        || config.write(R"({"screens": [
            {"name": "1", "x": 0, "y": 0, "width": 400, "height": 300, "dpr": 1},
            {"name": "1.25", "x": 400, "y": 0, "width": 400, "height": 300, "dpr": 1.25},
            {"name": "1.5", "x": 800, "y": 0, "width": 400, "height": 300, "dpr": 1.5},
            {"name": "2", "x": 1200, "y": 0, "width": 400, "height": 300, "dpr": 2}]})")
            < 0
        || !config.flush())
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ScreenPickTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screenpick.moc"
