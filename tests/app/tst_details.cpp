// The colour-details window, driven through the main window: following the current colour
// whatever changes it, its values read-only text that the keyboard selects and copies, and
// typed colours taken, or refused with the reason in the window. The values themselves are
// the colour-science suite's to check, the window's place among the others the real-window
// details scenario's.

#include "app/detailswindow.h"
#include "fixture.h"
#include "platform/controls/valuefield.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>

class DetailsTest : public WindowTest {
    Q_OBJECT

    DetailsWindow &openDetails()
    {
        f->window->display_details->trigger();
        auto *window = f->window->findChild<DetailsWindow *>({}, Qt::FindDirectChildrenOnly);
        if (!window)
            qFatal("no details window");
        return *window;
    }

    // "#RRGGBB name white-ratio favourite-caption favourite-ratio", once the window caught up.
    static QString summary(DetailsWindow &d)
    {
        QCoreApplication::processEvents();
        return QStringList{d.rows[0].text->text(), d.nearestName->text(),
                           d.contrast[0].ratio->text(), d.contrast[2].caption->text(),
                           d.contrast[2].ratio->text()}
            .join(u' ');
    }

private Q_SLOTS:
    void follows_data()
    {
        QTest::addColumn<QString>("shown");
        // Rows tagged with a script for act() run after the window is open.
        QTest::newRow("@BSlider {Left}") << "#FFFFFE white（ΔE00 0.5） 1.00:1 お気に入り1 1.00:1";
        QTest::newRow("@RGBCode 4682B4{Return}")
            << "#4682B4 steelblue（完全一致） 4.11:1 お気に入り1 4.11:1";
        QTest::newRow("@Arphabet_Sort @ColorName2[red_#FF0000]")
            << "#FF0000 red（完全一致） 4.00:1 お気に入り1 4.00:1";
        // The marked favourite: its colour and its number.
        QTest::newRow("@RText 0 @GText 0 @BText 0 @favorite_add(2) @RText 255 @GText 255 "
                      "@BText 255")
            << "#FFFFFF white（完全一致） 1.00:1 お気に入り3 21.00:1";
        QTest::newRow("RSlider=0 GSlider=0 BSlider=0 Color>FavoriteColor(4) BSlider=255")
            << "#0000FF blue（完全一致） 8.59:1 お気に入り5 2.44:1";
    }

    void follows()
    {
        QFETCH(QString, shown);
        const QString script = QTest::currentDataTag();
        Chromalynx &w = open(script);
        if (needsKeyboard(script))
            SKIP_UNLESS_FOCUSED(w);
        DetailsWindow &d = openDetails();
        // Qt's minimal platform never gives the keyboard back to the main window once its
        // tool window has it.
        if (needsKeyboard(script) && QGuiApplication::platformName() == u"minimal")
            QSKIP("the minimal platform leaves the keyboard with the details window");
        // The keys of the script go to the main window.
        w.activateWindow();
        if (needsKeyboard(script))
            QVERIFY(QTest::qWaitForWindowActive(&w));
        act(script);
        QCOMPARE(summary(d), shown);
    }

    // Each value is read-only text that Tab reaches and selects whole, and a value selected
    // whole stays so as the colour changes, for Ctrl+C to copy (which the main window, where
    // Ctrl+C clears the favourites, must not take); the Copy buttons beside take the rows.
    void readAsText()
    {
        SKIP_UNLESS_FOCUSED(open());
        act("RSlider=70 GSlider=130 BSlider=180");
        DetailsWindow &d = openDetails();
        if (!QTest::qWaitForWindowActive(&d))
            qWarning("the details window did not become active");
        QCoreApplication::processEvents();
        QList<platform::ValueField *> unreached = d.findChildren<platform::ValueField *>();
        QCOMPARE(unreached.size(), 19);
        d.nearestName->setFocus(Qt::OtherFocusReason);
        for (int i = 0; i < 40 && !unreached.isEmpty(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            auto *field = qobject_cast<platform::ValueField *>(QApplication::focusWidget());
            if (!field)
                continue;
            unreached.removeOne(field);
            QAccessibleInterface *value = QAccessible::queryAccessibleInterface(field);
            const QString name = value->text(QAccessible::Name);
            QVERIFY2(value->role() == QAccessible::EditableText && value->state().readOnly,
                     qPrintable(name));
            QAccessibleTextInterface *text = value->textInterface();
            QCOMPARE(text->text(0, text->characterCount()), field->text());
            int start = -1, end = -1;
            text->selection(0, &start, &end);
            QVERIFY2(start == 0 && end == field->text().size(), qPrintable(name));
        }
        QVERIFY2(unreached.isEmpty(), "Tab passes over a value");

        d.rows[0].text->setFocus(Qt::TabFocusReason);
        act("RSlider=255");
        QCoreApplication::processEvents();
        QTest::keyClick(d.rows[0].text, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("#FF82B4"));
        QVERIFY2(f->messages.shown.isEmpty(), qPrintable(f->messages.shown.join(u'\n')));

        // Each Copy takes exactly its row's text, to the clipboard the main window's Copy uses.
        for (const DetailsWindow::FormatRow &row : d.rows) {
            QGuiApplication::clipboard()->setText(QStringLiteral("before"));
            QTest::mouseClick(row.copy, Qt::LeftButton);
            QCOMPARE(QGuiApplication::clipboard()->text(), row.text->text());
        }
    }

    void typed_data()
    {
        QTest::addColumn<QString>("result"); // the number fields, or the message shown

        // The field folds full-width forms as an input method gives them. Unreadable texts
        // show the reason in the window; telling the faults apart is the formats suite's.
        QTest::newRow("ｒｇｂ（７０、１３０、１８０）") << "70 130 180";
        QTest::newRow("<nothing>") << "色を入力してください。";
        QTest::newRow("steel blue") << "「steel blue」は色名としても色の書式としても読めません。";
        QTest::newRow("rgb(300 0 0)") << "「300」は範囲外です（0〜255）。";
    }

    void typed()
    {
        QFETCH(QString, result);
        const QString tag = QTest::currentDataTag();
        Chromalynx &w = open();
        act("RSlider=1 GSlider=2 BSlider=3");
        DetailsWindow &d = openDetails();
        QStringList writes;
        for (platform::TextBox *field : {w.RText, w.GText, w.BText})
            connect(field, &platform::TextBox::Change, this,
                    [&writes, field] { writes << field->objectName(); });
        const auto shown = [&] {
            const QStringList fields = {w.RText->text(), w.GText->text(), w.BText->text()};
            return d.message->isVisibleTo(&d) ? d.message->text() : fields.join(u' ');
        };

        type((tag == u"<nothing>" ? QString() : tag) + "{Return}", d.entry);
        QCOMPARE(shown(), result);
        // As every source does: red, then green, then blue, or for a refused text nothing
        // (each field's Change runs nested, so only the first write of each field counts).
        writes.removeDuplicates();
        QCOMPARE(writes.join(u' '), result.front().isDigit() ? "RText GText BText" : "");
        QCOMPARE(summary(d).section(u' ', 0, 0), w.RGBCode->text());
        QVERIFY(f->messages.shown.isEmpty()); // no message box

        // A good entry afterwards takes any message away.
        d.entry->clear();
        type(QStringLiteral("red{Return}"), d.entry);
        QCOMPARE(shown(), "255 0 0");
    }
};

QTEST_MAIN(DetailsTest)
#include "tst_details.moc"
