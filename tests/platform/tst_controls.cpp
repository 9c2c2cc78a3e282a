#include "platform/checkbox.h"
#include "platform/listbox.h"
#include "platform/optionbutton.h"
#include "platform/picturebox.h"
#include "platform/scrollbar.h"
#include "platform/textbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>

using namespace platform;

namespace {

// Shown, exposed and active, so that focus and keys behave as on a desktop.
bool showActive(QWidget &window)
{
    window.resize(420, 320);
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Gives focus to `to` the way a user does: Tab from the control before it.
bool tabInto(QWidget &from, QWidget &to)
{
    from.setFocus();
    QTest::keyClick(&from, Qt::Key_Tab);
    return QTest::qWaitFor([&to] { return to.hasFocus(); });
}

void fill(ListBox &list, int count)
{
    for (int i = 0; i < count; ++i)
        list.addItem(QStringLiteral("entry %1").arg(i));
}

QPoint entryCentre(ListBox &list, int row)
{
    return list.visualItemRect(list.item(row)).center();
}

class ThumbBar : public ScrollBar {
public:
    using ScrollBar::ScrollBar;
    QRect thumb() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                       this);
    }
};

const QCursor &dragCursor()
{
    static const QCursor cursor(Qt::CrossCursor);
    return cursor;
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void programWriteRunsHandlersNested()
    {
        QWidget window;
        TextBox first(&window);
        ScrollBar bar(&window);
        TextBox second(&window);
        bar.setRange(0, 255);
        QStringList log;
        connect(&first, &TextBox::Change, &window, [&] {
            log << QStringLiteral("first begins");
            bar.setValue(first.text().toInt());
            log << QStringLiteral("first ends");
        });
        connect(&bar, &ScrollBar::Change, &window, [&] {
            log << QStringLiteral("bar begins");
            second.setText(QString::number(bar.value()));
            log << QStringLiteral("bar ends");
        });
        connect(&second, &TextBox::Change, &window,
                [&] { log << QStringLiteral("second ") + second.text(); });

        first.setText(QStringLiteral("200"));
        log << QStringLiteral("write returned");

        const QStringList expected = { "first begins", "bar begins", "second 200",
                                       "bar ends",     "first ends", "write returned" };
        QCOMPARE(log, expected);
    }

    // --- TextBox -----------------------------------------------------------------------

    void textBoxProgramWrite_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("changes");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("selStartAfter");
        QTest::addColumn<int>("selLengthAfter");

        QTest::newRow("hello -> world") << "hello" << 1 << 2 << "world" << 1 << "world" << 0 << 0;
        QTest::newRow("hello -> hello, selected")
            << "hello" << 1 << 2 << "hello" << 0 << "hello" << 1 << 2;
        QTest::newRow("hello -> hello, caret")
            << "hello" << 3 << 0 << "hello" << 0 << "hello" << 3 << 0;
        QTest::newRow("12 -> empty") << "12" << 2 << 0 << "" << 1 << "" << 0 << 0;
        // The field's own Change clamps, as a number field does: a nested write.
        QTest::newRow("12 -> 300, clamped") << "12" << 2 << 0 << "300" << 2 << "255" << 0 << 0;
    }

    void textBoxProgramWrite()
    {
        QFETCH(QString, before);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, written);
        QFETCH(int, changes);
        QFETCH(QString, after);
        QFETCH(int, selStartAfter);
        QFETCH(int, selLengthAfter);

        TextBox field(nullptr);
        connect(&field, &TextBox::Change, &field, [&field] {
            if (field.text().toInt() > 255)
                field.setText(QStringLiteral("255"));
        });
        field.setText(before);
        field.setSelStart(selStart);
        field.setSelLength(selLength);
        QSignalSpy change(&field, &TextBox::Change);

        field.setText(written);

        QCOMPARE(change.count(), changes);
        QCOMPARE(field.text(), after);
        QCOMPARE(field.selStart(), selStartAfter);
        QCOMPARE(field.selLength(), selLengthAfter);
    }

    void textBoxKeyPress_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code"); // 0: no KeyPress at all
        QTest::addColumn<QString>("kept"); // the text when the handler keeps the key

        QTest::newRow("3") << int(Qt::Key_3) << 0 << 51 << "123";
        QTest::newRow("a") << int(Qt::Key_A) << 0 << 97 << "12a";
        QTest::newRow("#") << int(Qt::Key_NumberSign) << 0 << 35 << "12#";
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << 8 << "1";
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 13 << "12";
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << 27 << "12";
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier) << 22 << "1299";
        QTest::newRow("Left") << int(Qt::Key_Left) << 0 << 0 << "12";
    }

    void textBoxKeyPress()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        QFETCH(QString, kept);

        QGuiApplication::clipboard()->setText(QStringLiteral("99"));
        for (const bool discard : { false, true }) {
            QWidget window;
            TextBox field(&window);
            QList<int> seen;
            connect(&field, &TextBox::KeyPress, &window, [&](int &keyAscii) {
                seen << keyAscii;
                if (discard)
                    keyAscii = 0;
            });
            field.setText(QStringLiteral("12"));
            field.setSelStart(2);
            QVERIFY(showActive(window));
            field.setFocus();

            QTest::keyClick(&field, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

            QCOMPARE(seen, code ? QList<int> { code } : QList<int> {});
            QCOMPARE(field.text(), discard && code ? QStringLiteral("12") : kept);
        }
    }

    void textBoxTabKeepsCaret()
    {
        QWidget window;
        TextBox before(&window);
        TextBox field(&window);
        field.move(0, 40);
        field.setText(QStringLiteral("hello"));
        field.setSelStart(2);
        QSignalSpy gotFocus(&field, &TextBox::GotFocus);
        QVERIFY(showActive(window));

        QVERIFY(tabInto(before, field));
        QCOMPARE(gotFocus.count(), 1);
        QCOMPARE(field.selLength(), 0);
        QCOMPARE(field.selStart(), 2);
    }

    void windowShortcutWinsOverTextBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("claimed"); // a window action has Ctrl+key as its shortcut
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("text");

        QTest::newRow("Ctrl+C claimed") << int(Qt::Key_C) << true << "before" << "abc";
        QTest::newRow("Ctrl+V claimed") << int(Qt::Key_V) << true << "before" << "abc";
        QTest::newRow("Ctrl+C unclaimed") << int(Qt::Key_C) << false << "abc" << "abc";
        QTest::newRow("Ctrl+V unclaimed") << int(Qt::Key_V) << false << "before" << "before";
    }

    void windowShortcutWinsOverTextBox()
    {
        QFETCH(int, key);
        QFETCH(bool, claimed);
        QFETCH(QString, clipboard);
        QFETCH(QString, text);

        QWidget window;
        TextBox field(&window);
        auto *action = new QAction(QStringLiteral("Action"), &window);
        action->setShortcut(
            QKeySequence(Qt::ControlModifier | (claimed ? Qt::Key(key) : Qt::Key_D)));
        window.addAction(action);
        QSignalSpy triggered(action, &QAction::triggered);
        QVERIFY(showActive(window));
        field.setFocus();
        field.setText(QStringLiteral("abc"));
        field.selectAll();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));

        QTest::keyClick(&field, Qt::Key(key), Qt::ControlModifier);

        QCOMPARE(triggered.count(), claimed ? 1 : 0);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(field.text(), text);
    }

    // --- ScrollBar ---------------------------------------------------------------------

    void scrollBarProgramWrite_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("after");

        QTest::newRow("0 -> 0") << 0 << 0 << 0;
        QTest::newRow("0 -> 128") << 0 << 128 << 128;
        QTest::newRow("0 -> 300") << 0 << 300 << 255;
        QTest::newRow("255 -> 300") << 255 << 300 << 255;
        QTest::newRow("10 -> -5") << 10 << -5 << 0;
    }

    void scrollBarProgramWrite()
    {
        QFETCH(int, before);
        QFETCH(int, written);
        QFETCH(int, after);

        ScrollBar bar(nullptr);
        bar.setRange(0, 255);
        bar.setValue(before);
        QSignalSpy change(&bar, &ScrollBar::Change);
        QSignalSpy scroll(&bar, &ScrollBar::Scroll);

        bar.setValue(written);

        QCOMPARE(bar.value(), after);
        QCOMPARE(change.count(), after != before ? 1 : 0);
        QCOMPARE(scroll.count(), 0);
    }

    void scrollBarArrowKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");

        QTest::newRow("Right at 10") << int(Qt::Key_Right) << 10 << 11;
        QTest::newRow("Left at 10") << int(Qt::Key_Left) << 10 << 9;
        QTest::newRow("Right at 255") << int(Qt::Key_Right) << 255 << 255;
    }

    void scrollBarArrowKeys()
    {
        QFETCH(int, key);
        QFETCH(int, before);
        QFETCH(int, after);

        QWidget window;
        TextBox field(&window);
        ScrollBar bar(&window);
        bar.setGeometry(0, 40, 300, 20);
        bar.setRange(0, 255);
        bar.setValue(before);
        QVERIFY(showActive(window));
        QVERIFY(tabInto(field, bar));
        QSignalSpy change(&bar, &ScrollBar::Change);

        QTest::keyClick(&bar, Qt::Key(key));

        QCOMPARE(bar.value(), after);
        QCOMPARE(change.count(), after != before ? 1 : 0);
    }

    void scrollBarMouse_data()
    {
        QTest::addColumn<bool>("drag"); // else a click on the track right of the thumb
        QTest::newRow("thumb drag") << true;
        QTest::newRow("track click") << false;
    }

    void scrollBarMouse()
    {
        QFETCH(bool, drag);

        QWidget window;
        ThumbBar bar(&window);
        bar.setGeometry(10, 10, 300, 20);
        bar.setRange(0, 255);
        bar.setValue(20);
        QVERIFY(showActive(window));
        QSignalSpy change(&bar, &ScrollBar::Change);
        QSignalSpy scroll(&bar, &ScrollBar::Scroll);
        const QPoint thumb = bar.thumb().center();

        if (!drag) {
            QTest::mouseClick(&bar, Qt::LeftButton, {},
                              QPoint(bar.thumb().right() + 20, thumb.y()));
            QCOMPARE(bar.value(), 20 + bar.pageStep());
            QCOMPARE(change.count(), 1);
            QCOMPARE(scroll.count(), 0);
            return;
        }
        QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
        for (int dx = 10; dx <= 40; dx += 10)
            QTest::mouseMove(&bar, thumb + QPoint(dx, 0));
        QVERIFY2(scroll.count() >= 2, qPrintable(QString::number(scroll.count())));
        QCOMPARE(change.count(), 0);
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, thumb + QPoint(40, 0));
        QVERIFY(bar.value() > 20);
        QCOMPARE(change.count(), 1);
    }

    // --- CheckBox ----------------------------------------------------------------------

    void checkBoxProgramWrite_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("after");

        QTest::newRow("0 -> 1") << 0 << 1 << 1;
        QTest::newRow("1 -> 2") << 1 << 2 << 2;
        QTest::newRow("2 -> 0") << 2 << 0 << 0;
        QTest::newRow("2 -> 1") << 2 << 1 << 1;
        QTest::newRow("1 -> 1") << 1 << 1 << 1;
        QTest::newRow("0 -> 5") << 0 << 5 << 0;
        QTest::newRow("1 -> -1") << 1 << -1 << 1;
    }

    void checkBoxProgramWrite()
    {
        QFETCH(int, before);
        QFETCH(int, written);
        QFETCH(int, after);

        CheckBox box(QStringLiteral("Box"), nullptr);
        box.setValue(before);
        QSignalSpy click(&box, &CheckBox::Click);

        box.setValue(written);

        QCOMPARE(box.value(), after);
        QCOMPARE(click.count(), after != before ? 1 : 0);
        // What the user sees: a tick for 1, the greyed mark for 2.
        const Qt::CheckState shown[] = { Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked };
        QCOMPARE(box.checkState(), shown[after]);
    }

    void checkBoxUserClick_data()
    {
        QTest::addColumn<bool>("greyedOnce"); // the program greyed the box earlier
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");

        QTest::newRow("0") << false << 0 << 1;
        QTest::newRow("1") << false << 1 << 0;
        QTest::newRow("2") << false << 2 << 1;
        QTest::newRow("0, greyed once") << true << 0 << 1;
    }

    void checkBoxUserClick()
    {
        QFETCH(bool, greyedOnce);
        QFETCH(int, before);
        QFETCH(int, after);

        QWidget window;
        CheckBox box(QStringLiteral("Box"), &window);
        box.resize(box.sizeHint());
        if (greyedOnce)
            box.setValue(2);
        box.setValue(before);
        QVERIFY(showActive(window));
        QSignalSpy click(&box, &CheckBox::Click);

        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(box.value(), after);
        QCOMPARE(click.count(), 1);
        QTest::mouseClick(&box, Qt::LeftButton); // and back, never to greyed
        QCOMPARE(box.value(), after == 1 ? 0 : 1);
        QCOMPARE(click.count(), 2);
    }

    // --- OptionButton ------------------------------------------------------------------

    void optionGroupsStayApart()
    {
        QWidget window;
        OptionButton a1(QStringLiteral("A1"), &window);
        OptionButton a2(QStringLiteral("A2"), &window);
        auto *frame = new QGroupBox(&window);
        OptionButton b1(QStringLiteral("B1"), frame);
        OptionButton b2(QStringLiteral("B2"), frame);
        a2.move(0, 30);
        frame->setGeometry(150, 0, 200, 100);
        b1.move(10, 20);
        b2.move(10, 50);
        GroupOptions({ &a1, &a2 });
        GroupOptions({ &b1, &b2 });
        a1.setValue(true);
        b1.setValue(true);
        QVERIFY(showActive(window));

        QStringList clicks;
        QString selected;
        const auto buttons = { &a1, &a2, &b1, &b2 };
        for (OptionButton *button : buttons) {
            button->resize(button->sizeHint());
            connect(button, &OptionButton::Click, &window,
                    [&, button] { clicks << button->text(); });
        }
        const auto step = [&](auto act) {
            clicks.clear();
            act();
            selected.clear();
            for (OptionButton *button : buttons)
                selected += button->value() ? button->text() : QString();
            return selected + QStringLiteral(" clicked ") + clicks.join(QLatin1Char(' '));
        };

        QCOMPARE(step([&] { a2.setValue(true); }), QStringLiteral("A2B1 clicked A2"));
        QCOMPARE(step([&] { QTest::mouseClick(&b2, Qt::LeftButton); }),
                 QStringLiteral("A2B2 clicked B2"));
        QCOMPARE(step([&] { QTest::mouseClick(&a2, Qt::LeftButton); }),
                 QStringLiteral("A2B2 clicked "));
        QCOMPARE(step([&] { QTest::mouseClick(&b2, Qt::LeftButton); }),
                 QStringLiteral("A2B2 clicked "));
    }

    // --- ListBox -----------------------------------------------------------------------

    void listBoxMouse()
    {
        QWidget window;
        ListBox list(&window);
        list.setGeometry(0, 0, 200, 250);
        fill(list, 5); // fewer entries than there is room for
        QVERIFY(showActive(window));
        QSignalSpy click(&list, &ListBox::Click);
        QSignalSpy dblClick(&list, &ListBox::DblClick);
        QCOMPARE(list.text(), QString());

        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, entryCentre(list, 2));
        QCOMPARE(list.text(), QStringLiteral("entry 2"));
        QCOMPARE(click.count(), 1);

        // Neither the same entry again, nor a Ctrl+click on it, nor a click in the empty
        // space below the entries changes the selection.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, entryCentre(list, 2));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                          entryCentre(list, 2));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          QPoint(20, list.viewport()->height() - 5));
        QCOMPARE(list.text(), QStringLiteral("entry 2"));
        QCOMPARE(click.count(), 1);

        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, entryCentre(list, 4));
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, entryCentre(list, 4));
        QCOMPARE(list.text(), QStringLiteral("entry 4"));
        QCOMPARE(click.count(), 2);
        QCOMPARE(dblClick.count(), 1);
    }

    void listBoxArrowKeys()
    {
        QWidget window;
        TextBox field(&window);
        ListBox list(&window);
        list.setGeometry(0, 40, 200, 200);
        fill(list, 5);
        QVERIFY(showActive(window));
        QVERIFY(tabInto(field, list));
        QSignalSpy click(&list, &ListBox::Click);

        QStringList seen;
        for (const Qt::Key key : { Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up }) {
            QTest::keyClick(&list, key);
            seen << QStringLiteral("%1 %2").arg(list.text()).arg(click.count());
        }
        QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier);
        seen << QStringLiteral("%1 %2").arg(list.text()).arg(click.count());

        // The first Down selects the first entry; Up there and Ctrl+Space change nothing.
        const QStringList expected
            = { "entry 0 1", "entry 1 2", "entry 0 3", "entry 0 3", "entry 0 3" };
        QCOMPARE(seen, expected);
    }

    void listBoxHorizontalExtent_data()
    {
        QTest::addColumn<int>("extent");
        QTest::newRow("100") << 100;
        QTest::newRow("500") << 500;
        QTest::newRow("1000") << 1000;
    }

    void listBoxHorizontalExtent()
    {
        QFETCH(int, extent);

        QWidget window;
        ListBox list(&window);
        list.setGeometry(0, 0, 200, 150);
        fill(list, 30);
        QVERIFY(showActive(window));

        list.setHorizontalExtent(extent);

        const QScrollBar *bar = list.horizontalScrollBar();
        if (extent > list.viewport()->width())
            QTRY_COMPARE(bar->maximum() + list.viewport()->width(), extent);
        else
            QTRY_COMPARE(bar->maximum(), 0);
    }

    void listBoxBringToFront()
    {
        QWidget window;
        ListBox first(&window);
        ListBox second(&window);
        for (ListBox *list : { &first, &second }) {
            list->setGeometry(10, 10, 200, 150);
            fill(*list, 50);
            list->setHorizontalExtent(600);
        }
        QVERIFY(showActive(window));
        second.bringToFront();
        second.setCurrentRow(40);
        second.scrollToItem(second.item(40));
        second.horizontalScrollBar()->setValue(100);
        const int vertical = second.verticalScrollBar()->value();
        QVERIFY(vertical > 0);

        first.bringToFront();
        QVERIFY(first.isVisible() && !second.isVisible());
        QCOMPARE(window.childAt(50, 50), first.viewport());

        second.bringToFront();
        QVERIFY(second.isVisible() && !first.isVisible());
        QCOMPARE(second.text(), QStringLiteral("entry 40"));
        QCOMPARE(second.verticalScrollBar()->value(), vertical);
        QCOMPARE(second.horizontalScrollBar()->value(), 100);
    }

    // --- PictureBox --------------------------------------------------------------------

    void pictureBoxDrag_data()
    {
        QTest::addColumn<QPoint>("release"); // in window coordinates
        QTest::addColumn<QString>("drops");

        QTest::newRow("over B") << QPoint(120, 30) << "B from A";
        QTest::newRow("over A") << QPoint(30, 30) << "A from A";
        QTest::newRow("over C, no target") << QPoint(220, 30) << "";
        QTest::newRow("over the window") << QPoint(300, 200) << "";
        QTest::newRow("outside the window") << QPoint(-50, -50) << "";
    }

    void pictureBoxDrag()
    {
        QFETCH(QPoint, release);
        QFETCH(QString, drops);

        QWidget window;
        PictureBox a(&window);
        PictureBox b(&window);
        PictureBox c(&window);
        a.setGeometry(10, 10, 40, 40);
        b.setGeometry(100, 10, 40, 40);
        c.setGeometry(200, 10, 40, 40);
        const std::map<const PictureBox *, QString> names
            = { { &a, "A" }, { &b, "B" }, { &c, "C" } };
        QStringList seen;
        for (PictureBox *box : { &a, &b, &c }) {
            box->setDragSource(&dragCursor);
            box->setDropTarget(box != &c);
            connect(box, &PictureBox::DragDrop, &window, [&, box](PictureBox *source) {
                seen << names.at(box) + QStringLiteral(" from ") + names.at(source);
            });
        }
        QVERIFY(showActive(window));

        QTest::mousePress(&a, Qt::LeftButton);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        // The press grabbed the mouse: the release reaches A wherever it happens.
        QTest::mouseRelease(&a, Qt::LeftButton, {}, a.mapFrom(&window, release));

        QCOMPARE(seen.join(QLatin1Char(',')), drops);
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
