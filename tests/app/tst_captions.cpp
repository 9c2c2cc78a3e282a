// Every caption, label, button text and list entry of the main window, the About box and
// the two message boxes shows whole: its advance in the control's own font fits the room
// the control leaves it (after the indicator of a check or option box, short of a visible
// neighbour that begins inside it) and its ascent and descent fit the control's height.
// CTest runs this suite at several display scales (QT_SCALE_FACTOR) and once under a
// desktop whose default font is another.

#include "app/aboutdialog.h"
#include "app/program.h"
#include "fixture.h"
#include "platform/controls/optionbutton.h"
#include "platform/desktop/qtservices.h"
#include "platform/desktop/uifont.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

namespace {

// Where the control's text may go, in its parent's coordinates.
QRect textRoom(const QWidget *control)
{
    const QStyle *style = control->style();
    const auto metric
        = [&](QStyle::PixelMetric which) { return style->pixelMetric(which, nullptr, control); };
    QRect room = control->geometry();
    if (qobject_cast<const QCheckBox *>(control))
        room.setLeft(room.left() + metric(QStyle::PM_IndicatorWidth)
                     + metric(QStyle::PM_CheckBoxLabelSpacing));
    else if (qobject_cast<const QRadioButton *>(control))
        room.setLeft(room.left() + metric(QStyle::PM_ExclusiveIndicatorWidth)
                     + metric(QStyle::PM_RadioButtonLabelSpacing));
    else if (const auto *button = qobject_cast<const QPushButton *>(control)) {
        const int edge = metric(QStyle::PM_DefaultFrameWidth)
            + (button->autoDefault() ? metric(QStyle::PM_ButtonDefaultIndicator) : 0);
        return room.adjusted(edge, edge, -edge, -edge);
    } else if (const auto *label = qobject_cast<const QLabel *>(control))
        room = label->contentsRect().translated(label->pos());
    return room;
}

// From the text's top to the lower of the font's descent and the glyphs' ink, drawn as the
// screen draws it: at the display's scale, where the glyphs may reach lower than at 1:1.
qreal inkHeight(const QWidget *control, const QString &text)
{
    const qreal scale = control->devicePixelRatioF();
    QFont onScreen = control->font();
    onScreen.setPixelSize(qRound(QFontInfo(control->font()).pixelSize() * scale));
    const QFontMetricsF metrics(onScreen);
    const qreal inkBottom = metrics.tightBoundingRect(text).bottom();
    return (qRound(metrics.ascent()) + std::max(metrics.descent(), inkBottom)) / scale;
}

// Half a device pixel of ink beyond the box is lost in the rounding of the glyphs' edges.
bool fitsHeight(const QWidget *control, qreal height, int room)
{
    const qreal scale = control->devicePixelRatioF();
    return height * scale <= room * scale + 0.5;
}

// The visible sibling that the text would run into, if any.
const QWidget *neighbourInside(const QWidget *control, int textLeft, int textRight)
{
    const QWidget *parent = control->parentWidget();
    const QRect own = control->geometry();
    for (const QWidget *other : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect box = other->geometry();
        if (other != control && other->isVisible() && box.top() <= own.bottom()
            && box.bottom() >= own.top() && box.left() > textLeft && box.left() <= textRight)
            return other;
    }
    return nullptr;
}

QString describe(const QWidget *control, const QString &text)
{
    const QFontInfo font(control->font());
    return QStringLiteral("\"%1\" of %2 in %3").arg(text, control->objectName(), font.family())
        + QString::asprintf(" %d px (stretch %d) at scale %g", font.pixelSize(),
                            control->font().stretch(), control->devicePixelRatioF());
}

} // namespace

class CaptionsTest : public QObject {
    Q_OBJECT

    FakeColorDialog dialog;
    platform::QtMessageBox messages;
    FakeDesktop desktop;
    MemoryStore store;
    QTemporaryDir programFolder; // without a readme
    std::unique_ptr<Chromalynx> window;

    // The text must fit the control's room and stop short of a visible neighbour.
    static void expectWhole(const QWidget *control, const QString &text)
    {
        const QFontMetrics metrics(control->font());
        const QRect room = textRoom(control);
        const int advance = metrics.horizontalAdvance(text);
        const int left = qobject_cast<const QPushButton *>(control)
            ? room.left() + (room.width() - advance) / 2
            : room.left();
        const qreal height = inkHeight(control, text);
        const QString what = describe(control, text)
            + QString::asprintf(" is %d×%g px, its room %d×%d", advance, height, room.width(),
                                room.height());
        QVERIFY2(advance <= room.width(), qPrintable(what));
        QVERIFY2(fitsHeight(control, height, room.height()), qPrintable(what));
        const QWidget *neighbour = neighbourInside(control, left, left + advance - 1);
        QVERIFY2(!neighbour,
                 qPrintable(what + " runs into " + (neighbour ? neighbour->objectName() : "")));
    }

private Q_SLOTS:
    void init()
    {
        store.values.clear();
        window = std::make_unique<Chromalynx>(
            Services{dialog, messages, desktop, store, programFolder.path()});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    // The first of the chosen faces that is installed is the one used, whatever the
    // desktop's default font.
    void chosenFontHolds()
    {
        const QStringList installed = QFontDatabase::families();
        for (const QString &face : platform::UiFont().families())
            if (installed.contains(face)) {
                QCOMPARE(QFontInfo(window->font()).family(), face);
                QCOMPARE(QFontInfo(window->Option_HTML->font()).family(), face);
                return;
            }
        QSKIP("none of the chosen faces is installed");
    }

    // Every text the main window, its lists and the About box show, one control at a time.
    void captions()
    {
        AboutDialog about(window.get(), desktop);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        int checked = 0;
        for (const QWidget *in : {window->centralWidget(), static_cast<QWidget *>(&about)})
            for (const QWidget *control : in->findChildren<QWidget *>()) {
                const bool captioned = qobject_cast<const QLabel *>(control)
                    || qobject_cast<const QAbstractButton *>(control);
                const QString text = control->property("text").toString();
                if (captioned && control->isVisible() && !text.isEmpty()) {
                    expectWhole(control, text);
                    ++checked;
                }
            }
        QVERIFY2(checked >= 25, qPrintable(QString::number(checked)));

        // Each entry fits the list's width together with its sideways scrolling, and its row.
        window->CheckColorName->click();
        for (QAbstractButton *order : {window->RGB_Sort, window->Arphabet_Sort}) {
            order->click();
            QListWidget *list = order == window->RGB_Sort ? window->ColorName1 : window->ColorName2;
            QVERIFY(list->count() == 140 && list->isVisible());
            QTest::qWait(0);
            const QFontMetrics metrics(list->font());
            const int reach = list->viewport()->width() + list->horizontalScrollBar()->maximum();
            for (int row = 0; row < list->count(); ++row) {
                const QString text = list->item(row)->text();
                QVERIFY2(metrics.horizontalAdvance(text) + 5 <= reach,
                         qPrintable(describe(list, text) + " is wider than the list scrolls"));
                QVERIFY2(fitsHeight(list, inkHeight(list, text),
                                    list->visualItemRect(list->item(row)).height()),
                         qPrintable(describe(list, text) + " is higher than its row"));
            }
        }
    }

    // Rows tagged with the menu entry that opens the box.
    void messageBoxes_data()
    {
        QTest::addColumn<QString>("text");

        QTest::newRow("favorite_clear") << "お気に入りをすべて消去します";
        QTest::newRow("mhelp_display") << "readme.txtがありません。";
    }

    void messageBoxes()
    {
        QFETCH(QString, text);

        bool seen = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY2(box, "no message box opened");
            const auto closer = qScopeGuard([box] { box->reject(); });
            seen = true;
            const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label && label->text() == text);
            // A screen too narrow for the box makes it break the text into lines.
            if (label->wordWrap()
                && QFontMetrics(label->font()).horizontalAdvance(text) > label->width())
                QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                         qPrintable(describe(label, text) + " is cut off below"));
            else
                expectWhole(label, text);
            for (const QAbstractButton *button : box->buttons())
                expectWhole(button, button->text().remove(u'&'));
        });
        window->findChild<QAction *>(QTest::currentDataTag())->trigger();
        QVERIFY(seen);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PrepareApplication();
    QApplication::setQuitOnLastWindowClosed(false);
    CaptionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_captions.moc"
