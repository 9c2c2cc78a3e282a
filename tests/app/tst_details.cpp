// The colour-details window driven offscreen: made on first use, following the current
// colour whatever changes it, copying each row, taking typed colours in every format and
// saying in the window why a text cannot be read.

#include "app/detailswindow.h"
#include "fixture.h"
#include "platform/toolwindow.h"
#include "platform/valuefield.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

class DetailsTest : public WindowTest {
    Q_OBJECT

    DetailsWindow *details() const
    {
        return f->window->findChild<DetailsWindow *>(QString(), Qt::FindDirectChildrenOnly);
    }

    DetailsWindow &openDetails()
    {
        f->window->display_details->trigger();
        DetailsWindow *window = details();
        if (!window)
            qFatal("no details window");
        return *window;
    }

    // "#RRGGBB name-field white-ratio favourite-caption favourite-ratio", once the window has
    // caught up.
    static QString summary(DetailsWindow &d)
    {
        QCoreApplication::processEvents();
        return QStringList{d.rows[0].text->text(), d.nearestName->text(),
                           d.contrast[0].ratio->text(), d.contrast[2].caption->text(),
                           d.contrast[2].ratio->text()}
            .join(u' ');
    }

    void type(DetailsWindow &d, const QString &text)
    {
        d.entry->clear();
        for (const QChar c : text) {
            const char ascii = c.unicode() < 128 ? static_cast<char>(c.unicode()) : 0;
            QTest::sendKeyEvent(QTest::Click, d.entry,
                                ascii ? QTest::asciiToKey(ascii) : Qt::Key_unknown, QString(c), {});
        }
        QTest::keyClick(d.entry, Qt::Key_Return);
    }

private Q_SLOTS:
    void madeOnFirstUse()
    {
        Chromalynx &w = open();
        QVERIFY(!details());
        const QList<QAction *> entries = w.display->actions();
        QCOMPARE(entries.indexOf(w.display_details), entries.indexOf(w.display_pick) + 1);
        QCOMPARE(w.display_details->text(), QStringLiteral("色の詳細"));
        QCOMPARE(w.display_details->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));

        DetailsWindow &d = openDetails();
        QVERIFY(d.isVisible() && d.isWindow());
        QCOMPARE(d.windowTitle(), QStringLiteral("色の詳細"));
        QCOMPARE(d.windowType(), Qt::Tool);
        QVERIFY(!d.isModal());
        d.close();
        w.display_details->trigger(); // opens the same window again
        QCOMPARE(w.findChildren<DetailsWindow *>().size(), 1);
        QVERIFY(d.isVisible());
        // Opening it changes nothing in the main window.
        QCOMPARE(changes(w), QString());

        w.close();
        QVERIFY2(!d.isVisible(), "the details window closes with the main window");
    }

    void follows_data()
    {
        QTest::addColumn<QString>("shown");
        // Rows tagged with a script for act() run after the window is open.
        QTest::newRow("(nothing)") << "#FFFFFF white（完全一致） 1.00:1 お気に入り1 1.00:1";
        QTest::newRow("RSlider=0") << "#00FFFF aqua（完全一致） 1.25:1 お気に入り1 1.25:1";
        QTest::newRow("@BSlider {Left}") << "#FFFFFE white（ΔE00 0.5） 1.00:1 お気に入り1 1.00:1";
        QTest::newRow("@RText 128") << "#80FFFF aqua（ΔE00 4.7） 1.19:1 お気に入り1 1.19:1";
        QTest::newRow("@RGBCode 4682B4{Return}")
            << "#4682B4 steelblue（完全一致） 4.11:1 お気に入り1 4.11:1";
        QTest::newRow("@@ColorName1[#000000_black]")
            << "#000000 black（完全一致） 21.00:1 お気に入り1 21.00:1";
        QTest::newRow("@Arphabet_Sort @ColorName2[red_#FF0000]")
            << "#FF0000 red（完全一致） 4.00:1 お気に入り1 4.00:1";
        QTest::newRow("chosen=255 @SelColor")
            << "#FF0000 red（完全一致） 4.00:1 お気に入り1 4.00:1";
        // The marked favourite: its colour and its number.
        QTest::newRow("@RText 0 @GText 0 @BText 0 @favorite_add(2) @RText 255 @GText 255 "
                      "@BText 255")
            << "#FFFFFF white（完全一致） 1.00:1 お気に入り3 21.00:1";
        QTest::newRow("RSlider=0 GSlider=0 BSlider=0 Color>FavoriteColor(4) BSlider=255")
            << "#0000FF blue（完全一致） 8.59:1 お気に入り5 2.44:1";
        QTest::newRow("favorite/6=255 @favorite_display(5)")
            << "#FF0000 red（完全一致） 4.00:1 お気に入り6 1.00:1";
    }

    void follows()
    {
        QFETCH(QString, shown);
        const QString tag = QTest::currentDataTag();
        const QString script = tag == u"(nothing)" ? QString() : tag;
        if (needsKeyboard(script))
            SKIP_UNLESS_FOCUSED(open(script));
        else
            open(script);
        DetailsWindow &d = openDetails();
        // Qt's minimal platform never gives the keyboard back to the main window once its
        // tool window has it.
        if (needsKeyboard(script) && QGuiApplication::platformName() == u"minimal")
            QSKIP("the minimal platform leaves the keyboard with the details window");
        // The keys of the script go to the main window.
        f->window->activateWindow();
        if (needsKeyboard(script))
            QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
        act(script);
        QCOMPARE(summary(d), shown);
    }

    // Every row at once for one colour, and the colour-vision swatches.
    void everyRow()
    {
        open();
        act("RSlider=70 GSlider=130 BSlider=180");
        DetailsWindow &d = openDetails();
        QStringList texts;
        for (const DetailsWindow::FormatRow &row : d.rows)
            texts << row.text->text();
        QCOMPARE(texts.join(u'|'),
                 "#4682B4|#4682b4|rgb(70 130 180)|rgb(70, 130, 180)|hsl(207 44% 49%)|"
                 "hsv(207, 61%, 71%)|cmyk(61%, 28%, 0%, 29%)|0.275, 0.510, 0.706|"
                 "oklch(58.8% 0.09934 245.74)|&H00B48246|11829830|0x00B48246");
        QStringList seen;
        for (const DetailsWindow::VisionRow &row : d.vision) {
            seen << row.code->text();
            QCOMPARE(
                QString::fromStdString(colorcodes::SplitColor(row.swatch->backColor()).HTMLCode),
                row.code->text());
        }
        QCOMPARE(seen.join(u' '), "#6C83B6 #5D78B3 #008E93");
        QStringList verdicts;
        for (const DetailsWindow::ContrastRow &row : d.contrast) {
            QString marks;
            for (const QLabel *verdict : row.verdicts)
                marks += verdict->text();
            verdicts << marks;
        }
        // AA, AAA, large AA, large AAA against white 4.11, black 5.11, favourite 1 (white).
        QCOMPARE(verdicts.join(u' '), "××○× ○×○○ ××○×");
    }

    void copyRow_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < static_cast<int>(colorcodes::AllFormats.size()); ++i)
            QTest::addRow("row %d", i + 1) << i;
    }

    // Exactly the row's text, on the clipboard the main window's Copy uses.
    void copyRow()
    {
        QFETCH(int, row);
        SKIP_UNLESS_FOCUSED(open());
        act("RSlider=18 GSlider=52 BSlider=86");
        DetailsWindow &d = openDetails();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        const DetailsWindow::FormatRow &r = d.rows.at(static_cast<std::size_t>(row));
        QTest::mouseClick(r.copy, Qt::LeftButton);
        QVERIFY(!r.text->text().isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), r.text->text());
    }

    // Ctrl+C on a focused value copies it whole; the main window's Ctrl+C (clear the
    // favourites), which reaches into its tool windows, must not take the key.
    void copyFocusedValue()
    {
        SKIP_UNLESS_FOCUSED(open());
        act("RSlider=70 GSlider=130 BSlider=180");
        DetailsWindow &d = openDetails();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCoreApplication::processEvents();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        d.nearestName->setFocus(Qt::ShortcutFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("steelblue（完全一致）"));
        QVERIFY2(f->messages.shown.isEmpty(), qPrintable(f->messages.shown.join(u'\n')));
    }

    void typed_data()
    {
        QTest::addColumn<QString>("result"); // the number fields, or the message shown

        for (const char *text :
             {"#4682B4", "#4682b4", "rgb(70 130 180)", "rgb(70, 130, 180)", "hsl(207 44% 49%)",
              "0.275, 0.510, 0.706", "oklch(58.8% 0.09934 245.74)", "&H00B48246", "11829830",
              "0x00B48246", "steelblue", "STEELBLUE", "ｒｇｂ（７０、１３０、１８０）"})
            QTest::newRow(text) << "70 130 180";
        // Rounded to whole percent, these two come back near the colour they were taken from.
        QTest::newRow("hsv(207, 61%, 71%)") << "71 131 181";
        QTest::newRow("cmyk(61%, 28%, 0%, 29%)") << "71 130 181";
        QTest::newRow("rebeccapurple") << "102 51 153";
        QTest::newRow("white") << "255 255 255";

        QTest::newRow("<nothing>") << "色を入力してください。";
        QTest::newRow("steel blue") << "「steel blue」は色名としても色の書式としても読めません。";
        QTest::newRow("rgb(1 2)") << "rgb() には値が3つ必要です。";
        QTest::newRow("rgb(1 x 3)") << "「x」は数値として読めません。";
        QTest::newRow("rgb(300 0 0)") << "「300」は範囲外です（0〜255）。";
        QTest::newRow("16777216") << "「16777216」は範囲外です（0〜16777215）。";
        QTest::newRow("oklch(0.5 -1 0)") << "「-1」は範囲外です（0以上）。";
        QTest::newRow("oklch(90% 0.4 120)") << "この oklch() の色は sRGB の範囲外です。";
        QTest::newRow("rgb(1 2 3 / 50%)") << "透明度は指定できません。";
        QTest::newRow("色") << "「色」は色名としても色の書式としても読めません。";
    }

    void typed()
    {
        QFETCH(QString, result);
        const QString tag = QTest::currentDataTag();
        const QString text = tag == u"<nothing>" ? QString() : tag;
        Chromalynx &w = open();
        act("RSlider=1 GSlider=2 BSlider=3");
        DetailsWindow &d = openDetails();
        QStringList writes;
        for (platform::TextBox *field : {w.RText, w.GText, w.BText})
            connect(field, &platform::TextBox::Change, this,
                    [&writes, field] { writes << field->objectName(); });

        type(d, text);

        const QString fields
            = QStringList{w.RText->text(), w.GText->text(), w.BText->text()}.join(u' ');
        if (result.front().isDigit()) {
            QCOMPARE(fields, result);
            // As every source does: red, then green, then blue (each field's Change runs
            // nested, so only the first write of each field counts here).
            writes.removeDuplicates();
            QCOMPARE(writes, QStringList({"RText", "GText", "BText"}));
            QVERIFY(d.message->text().isEmpty() && !d.message->isVisibleTo(&d));
            QCOMPARE(summary(d).section(u' ', 0, 0),
                     QString::fromStdString(colorcodes::SplitColor(w.Color->backColor()).HTMLCode));
        } else {
            QCOMPARE(fields, "1 2 3"); // nothing changes
            QVERIFY(writes.isEmpty());
            QCOMPARE(d.message->text(), result);
            QVERIFY(d.message->isVisibleTo(&d));
            QVERIFY(f->messages.shown.isEmpty()); // no message box
            // A good entry afterwards takes the message away.
            type(d, QStringLiteral("red"));
            QVERIFY(d.message->text().isEmpty());
        }
    }

    // Above the main window while that one stays on top, whoever switches it.
    void followsAlwaysOnTop()
    {
        Chromalynx &w = open("condition/formtop=1");
        DetailsWindow &d = openDetails();
        QVERIFY(platform::IsKeptAbove(d));
        act("@display_formtop");
        QVERIFY(!platform::IsKeptAbove(d));
        act("CheckFormtop=1");
        QVERIFY(platform::IsKeptAbove(d));
        QCOMPARE(changes(w), "formtop=1 menu=unpin,show topmost");
    }
};

QTEST_MAIN(DetailsTest)
#include "tst_details.moc"
