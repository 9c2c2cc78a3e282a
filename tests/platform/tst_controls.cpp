#include "platform/controls/checkbox.h"
#include "platform/controls/listbox.h"
#include "platform/controls/optionbutton.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/textbox.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>

using namespace platform;

// A compositor without a seat (weston's headless backend) gives no window keyboard focus.
#define SKIP_UNLESS_ACTIVE(window)                                                                 \
    do {                                                                                           \
        if (QGuiApplication::platformName() == u"wayland"                                          \
            || !QTest::qWaitForWindowActive(&window))                                              \
            QSKIP("the window system gives the window no keyboard focus");                         \
    } while (false)

// Each test logs what the handlers see and checks the whole log at once. Where focus, keys
// or the mouse matter, the window is shown and active, as on a desktop.
class TestControls : public QObject {
    Q_OBJECT

    QStringList log_;

private Q_SLOTS:
    void init() { log_.clear(); }

    // The rules of textbox.h, on a number field whose Change handler clamps above 255 (a
    // nested write) and whose KeyPress handler discards "a", in a window with an action on
    // Ctrl+C. After each write, the selection is logged as start+length.
    void textBox()
    {
        QWidget window;
        TextBox before(&window);
        TextBox field(&window);
        window.addAction(QString(), QKeySequence("Ctrl+C"), &window, [&] { log_ << "action"; });
        connect(&field, &TextBox::GotFocus, &window, [&] { log_ << QStringLiteral("GotFocus"); });
        connect(&field, &TextBox::Change, &window, [&] {
            log_ << field.text();
            if (field.text().toInt() > 255)
                field.setText(QStringLiteral("255"));
        });
        connect(&field, &TextBox::KeyPress, &window, [&](int &keyAscii) {
            log_ << QString::number(keyAscii);
            keyAscii = keyAscii == 'a' ? 0 : keyAscii;
        });
        for (const char *text : {"hello", "hello", "world", "300", "12"}) {
            field.setSelStart(1);
            field.setSelLength(2);
            field.setText(QString::fromLatin1(text));
            log_ << QStringLiteral("%1+%2").arg(field.selStart()).arg(field.selLength());
        }
        field.setSelStart(2);
        window.show();
        SKIP_UNLESS_ACTIVE(window);
        // Tab keeps the caret at the end: "123", "a" discarded, "12", the caret one to the
        // left and "9" pasted there.
        before.setFocus();
        QTest::keyClick(&before, Qt::Key_Tab);
        QGuiApplication::clipboard()->setText(QStringLiteral("9"));
        QTest::keySequence(&field, QKeySequence(QStringLiteral("3, A, Backspace, Return")));
        QTest::keySequence(&field, QKeySequence(QStringLiteral("Esc, Left, Ctrl+V, Ctrl+C")));
        QCOMPARE(log_.join(' '),
                 "hello 0+0 1+2 world 0+0 300 255 0+0 12 0+0 "
                 "GotFocus 51 123 97 8 12 13 27 22 192 action");
    }

    // However pasted text arrives, full-width forms and the ideographic space come as ASCII.
    // Shift+Insert is pasted in tst_window, the middle button's selection in a real window
    // in tests/session/scenarios.py.
    void textBoxFoldsPastedText_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way : {"context menu", "drop"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }

    void textBoxFoldsPastedText()
    {
        QFETCH(QString, way);

        QWidget window;
        TextBox field(&window);
        connect(&field, &TextBox::Change, &window, [&] { log_ << field.text(); });
        window.show();
        SKIP_UNLESS_ACTIVE(window);
        field.setFocus();
        // The input method stays off, so that it passes the keys through to KeyPress.
        QCOMPARE(field.inputMethodQuery(Qt::ImEnabled), QVariant(false));
        const QString pasted = QStringLiteral("ＦＦ８０　０！～ぁ");
        QGuiApplication::clipboard()->setText(pasted);
        if (way == u"context menu") {
            QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2),
                                    field.mapToGlobal(QPoint(2, 2)));
            QCoreApplication::sendEvent(&field, &click);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction *entry : menu->actions())
                if (entry->text().remove(u'&').startsWith(QStringLiteral("Paste")))
                    entry->trigger();
            menu->close();
        } else {
            QMimeData dragged;
            dragged.setText(pasted);
            QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &dragged, Qt::LeftButton, {});
            QCoreApplication::sendEvent(&field, &enter);
            QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &dragged, Qt::LeftButton, {});
            QCoreApplication::sendEvent(&field, &drop);
        }
        QCOMPARE(log_.join(u' '), QStringLiteral("FF80 0!~ぁ"));
    }

    // Logged: the value at each Change, S at each Scroll. Writing the value it has, or
    // dragging back to where the drag started, raises no Change.
    void scrollBar()
    {
        ScrollBar bar(nullptr);
        bar.setRange(0, 255);
        connect(&bar, &ScrollBar::Change, &bar, [&] { log_ << QString::number(bar.value()); });
        connect(&bar, &ScrollBar::Scroll, &bar, [&] { log_ << "S"; });
        for (const int value : {0, 300, 300, 10})
            bar.setValue(value);
        QTest::keyClick(&bar, Qt::Key_Right);
        for (const int away : {20, 40}) {
            bar.setSliderDown(true);
            bar.setSliderPosition(away);
            bar.setSliderPosition(30);
            bar.setSliderDown(false);
        }
        QCOMPARE(log_.join(' '), "255 10 11 S S 30 S S");
    }

    // Keys and wheel as on the platform's horizontal scroll bars, from 100 in steps of 1, 16.
    void scrollBarKeys_data()
    {
        QTest::addColumn<int>("expected");

        QTest::newRow("Left") << 99;
        QTest::newRow("Up") << 99;
        QTest::newRow("PgUp") << 84;
        QTest::newRow("Right") << 101;
        QTest::newRow("Down") << 101;
        QTest::newRow("PgDown") << 116;
        QTest::newRow("End") << 255;
        QTest::newRow("wheel down") << 103;
        QTest::newRow("wheel up") << 97;
    }

    void scrollBarKeys()
    {
        QFETCH(int, expected);

        ScrollBar bar(nullptr);
        bar.setRange(0, 255);
        bar.setSingleStep(1);
        bar.setPageStep(16);
        bar.setValue(100);
        const QString input = QString::fromLatin1(QTest::currentDataTag());
        if (input.startsWith(QStringLiteral("wheel"))) {
            const QPoint notch(0, input.endsWith(QStringLiteral("down")) ? -120 : 120);
            const QPointF middle = QRectF(bar.rect()).center();
            QWheelEvent wheel(middle, bar.mapToGlobal(middle), {}, notch, Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(&bar, &wheel);
        } else {
            QTest::keySequence(&bar, QKeySequence(input));
        }
        QCOMPARE(bar.value(), expected);
    }

    // A check box's Click at every change of its value, logged with the mark shown (- clear,
    // ~ greyed, x ticked): the user toggles between 0 and 1 only, even after greyed. Then
    // the option buttons' Clicks, a selection clearing its own group only, and the result.
    void buttons()
    {
        CheckBox box(QStringLiteral("Box"), nullptr);
        connect(&box, &CheckBox::Click, &box, [&] {
            log_ << QString::number(box.value()) + QLatin1Char("-~x"[box.checkState()]);
        });
        for (const int value : {1, 1, 5, -1, 2, 0, 2})
            box.setValue(value);
        for (int i = 0; i < 3; ++i)
            box.click();
        QWidget window;
        OptionButton a1(QStringLiteral("A1"), &window);
        OptionButton a2(QStringLiteral("A2"), &window);
        QWidget frame(&window);
        OptionButton b1(QStringLiteral("B1"), &frame);
        OptionButton b2(QStringLiteral("B2"), &frame);
        GroupOptions({&a1, &a2});
        GroupOptions({&b1, &b2});
        for (OptionButton *button : {&a1, &a2, &b1, &b2})
            connect(button, &OptionButton::Click, &window,
                    [this, button] { log_ << button->text(); });
        for (OptionButton *button : {&a1, &b1, &a2})
            button->setValue(true);
        b2.click();
        for (OptionButton *button : {&a1, &a2, &b1, &b2})
            log_ << (button->value() ? "on" : "off");
        QCOMPARE(log_.join(' '), "1x 2~ 0- 2~ 1x 0- 1x A1 B1 A2 B2 off on off on");
    }

    // In the short list the first Down selects the first entry, and only another entry
    // takes the selection away. Logged: text() before, then at each event.
    void listBox()
    {
        QWidget window;
        ListBox list(&window);
        list.setGeometry(0, 0, 200, 150);
        list.addItems({"a", "b", "c", "d"}); // fewer entries than there is room for
        list.setCurrentRow(0, QItemSelectionModel::NoUpdate); // current, but not selected
        log_ << list.text();
        connect(&list, &ListBox::Click, &window, [&] { log_ << list.text(); });
        connect(&list, &ListBox::DblClick, &window, [&] { log_ << QStringLiteral("DblClick"); });
        window.show();
        SKIP_UNLESS_ACTIVE(window);
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Down);
        const auto at = [&list](int row) { return list.visualItemRect(list.item(row)).center(); };
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(2));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(20, 130)); // no entry there
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(3));
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at(3));
        QCOMPARE(log_.join(','), ",a,b,c,d,DblClick");
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
