// Picking a colour off the screen: each position lands on the captured pixel beneath it
// at every ratio, the keys step by captured pixels within the monitor, and a pick reaches
// the number fields the way every other source of a colour does.

#include "app/fixture.h"
#include "platform/controls/optionbutton.h"
#include "platform/desktop/screencapture.h"

#include <QLabel>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryFile>
#include <QTimer>

namespace {

using namespace platform;

// A captured pixel spells its own position: red and green are the low bytes of x and y,
// blue holds their high bits.
struct FakeCapture final : ScreenCapture {
    bool canRead = true;
    bool available() override { return canRead; }
    std::vector<Capture> captureScreens() override
    {
        std::vector<Capture> captures;
        for (const QScreen *screen : QGuiApplication::screens()) {
            const qreal ratio = screen->devicePixelRatio();
            QImage image((QSizeF(screen->size()) * ratio).toSize(), QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, qRgb(x & 255, y & 255, (x >> 8) << 4 | y >> 8));
            captures.push_back({image, screen->geometry(), ratio});
        }
        return captures;
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

// Monitors at four ratios side by side, each named by its ratio.
constexpr char monitors[] = R"({"screens": [
    {"name": "1", "x": 0, "y": 0, "width": 400, "height": 300, "dpr": 1},
    {"name": "1.25", "x": 400, "y": 0, "width": 400, "height": 300, "dpr": 1.25},
    {"name": "1.5", "x": 800, "y": 0, "width": 400, "height": 300, "dpr": 1.5},
    {"name": "2", "x": 1200, "y": 0, "width": 400, "height": 300, "dpr": 2}]})";

} // namespace

class ScreenPickTest : public WindowTest {
    Q_OBJECT

private Q_SLOTS:
    // Tagged "monitor x,y notation steps...": the monitor is named by its ratio, the pointer
    // moves to x,y first, then the keys, "click" or "right-click". Expected is the code the
    // magnifier shows last, the fields R,G,B and the fields written, in order.
    void takesTheCapturedPixelUnderTheCrosshair_data()
    {
        QTest::addColumn<QString>("expected");
        const auto row = [](auto tag, auto want) { QTest::newRow(tag) << QString(want); };
        row("1 3,5 HTML Return", "#030500|3,5,0|RGB");
        row("1.25 2.5,3.5 VB Return", "&H00000403|3,4,0|RGB");
        row("1.5 3,5 DEC Return", "1796|4,7,0|RGB");
        row("2 3,5 HTML Return", "#060A00|6,10,0|RGB");
        row("1.5 3,5 HTML Shift+Left Shift+Up Return", "#000000|0,0,0|RGB");
        row("2 399.75,299.75 HTML Right Shift+Down Return", "#1F5732|31,87,50|RGB");
        row("2 3,5 HTML Right click", "#070A00|7,10,0|RGB");
        row("2 3,5 DEC Right Escape", "2567|255,255,255|");
        row("1 3,5 HTML right-click", "#030500|255,255,255|");
    }

    void takesTheCapturedPixelUnderTheCrosshair()
    {
        QFETCH(QString, expected);
        const QStringList steps = QString::fromLatin1(QTest::currentDataTag()).split(u' ');
        const QPointF at(steps[1].section(u',', 0, 0).toDouble(),
                         steps[1].section(u',', 1).toDouble());

        FakeCapture capture;
        Chromalynx &w = open({}, {}, &capture);
        w.findChild<OptionButton *>("Option_" + steps[2])->setValue(true);
        QString written;
        for (TextBox *field : {w.RText, w.GText, w.BText})
            connect(field, &TextBox::Change, this,
                    [&written, field] { written += field->accessibleName(); });
        QString shown;
        // The entry returns only once the pick has ended, so a timer drives the pick.
        QTimer::singleShot(0, &w, [&] {
            // Nothing may leave the pick running. What the steps did not end ends the other
            // way than the row expects: taken for a cancel, cancelled for a take.
            const auto end = qScopeGuard([&] {
                if (QWidget *cover = coverOn(steps[0]); cover && expected.endsWith(u'|'))
                    QTest::keyClick(cover, Qt::Key_Return);
                else if (cover)
                    cover->close();
            });
            QWidget *cover = nullptr;
            QVERIFY(QTest::qWaitFor([&] { return (cover = coverOn(steps[0])) != nullptr; }));
            // Wayland delivers fractional positions; QTest only has whole ones.
            const auto send = [&](QEvent::Type type, Qt::MouseButton button) {
                QMouseEvent event(type, at, cover->mapToGlobal(at), button, button, {});
                QApplication::sendEvent(cover, &event);
            };
            send(QEvent::MouseMove, Qt::NoButton);
            // The keyboard follows the crosshair to its monitor.
            QVERIFY(QTest::qWaitForWindowActive(cover));
            for (const QString &step : steps.mid(3)) {
                if (step.endsWith(u"click"))
                    send(QEvent::MouseButtonPress,
                         step == u"click" ? Qt::LeftButton : Qt::RightButton);
                else
                    QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
            }
            shown = cover->findChild<QLabel *>(QStringLiteral("ScreenPickCode"))->text();
        });
        w.display_pick->trigger();

        QCOMPARE(QStringLiteral("%1|%2,%3,%4|%5")
                     .arg(shown, w.RText->text(), w.GText->text(), w.BText->text(), written),
                 expected);
        for (const PictureBox *swatch : w.FavoriteColor)
            QCOMPARE(swatch->backColor(), colorcodes::White);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

    void entryGreyedWhereTheScreenCannotBeRead()
    {
        FakeCapture capture;
        QVERIFY(open({}, {}, &capture).display_pick->isEnabled());
        QVERIFY(!open().display_pick->isEnabled());
        capture.canRead = false;
        QVERIFY(!open({}, {}, &capture).display_pick->isEnabled());
    }
};

int main(int argc, char *argv[])
{
    QTemporaryFile config;
    if (!config.open() || config.write(monitors) < 0 || !config.flush())
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ScreenPickTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screenpick.moc"
