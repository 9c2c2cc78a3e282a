// The main window driven through its controls: as it opens with the stored settings
// applied; the sliders, number fields and code field, which keep together; Palette and Copy;
// the colour-name lists; the favourites; the display options, the readme and the About box;
// and what it stores when it closes.

#include "app/aboutdialog.h"
#include "fixture.h"
#include "platform/controls/linklabel.h"
#include "platform/controls/optionbutton.h"

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

class ChromalynxTest : public WindowTest {
    Q_OBJECT

private Q_SLOTS:
    void startState()
    {
        Chromalynx &w = open();
        QCOMPARE(changes(w), QString());
        QCOMPARE(w.minimumSize(), w.maximumSize()); // the user cannot resize it
        // 4830 × 3105 twips; only a frame that leaves too little room below the menu bar
        // for the row of favourite numbers makes it taller, just enough for that row.
        const QLabel *number = w.FavoriteNumber[0];
        const int numbersBottom = number->y() + number->fontMetrics().height();
        QVERIFY2(w.centralWidget()->height() >= numbersBottom, "the numbers are cut off");
        QCOMPARE(w.frameGeometry().width(), 322);
        if (w.frameGeometry().height() != 207)
            QCOMPARE(w.centralWidget()->height(), numbersBottom);
        const QPoint off = w.frameGeometry().center() - w.screen()->availableGeometry().center();
        QVERIFY2(off.manhattanLength() <= 2, "the window opens centred on the screen");
        if (w.isActiveWindow())
            QCOMPARE(QApplication::focusWidget(), w.CodeCopy);
    }

    // Rows tagged with a script for act(): stored entries, then steps.
    void scenarios_data()
    {
        QTest::addColumn<QString>("changes"); // from the start with nothing stored

        QTest::newRow("favorite/5=255 favorite/9=0") << "fav5=255 fav9=0";
        QTest::newRow("condition/formtop=1") << "formtop=1 menu=unpin,show topmost";
        QTest::newRow("condition/formtop=2") << "formtop=2";
        QTest::newRow("condition/colornamelist=1") << "colornamelist=1 width=8055 menu=pin,hide";
        QTest::newRow("condition/char=1") << "char=1";
        // A check box, its menu entry and its key each flip the option, without moving or
        // recreating the window.
        for (const char *way : {"@CheckColorName", "@display_colorname", "@RText {Ctrl+D}"})
            QTest::addRow("%s", way) << "colornamelist=1 width=8055 menu=pin,hide";
        for (const char *way : {"@CheckFormtop", "@display_formtop", "@RText {Ctrl+T}"})
            QTest::addRow("%s", way) << "formtop=1 menu=unpin,show topmost";
        QTest::newRow("@display_colorname @RText {Ctrl+D}") << "width=4860"; // 30 twips wider
        QTest::newRow("@CheckFormtop @display_formtop") << "";
        QTest::newRow("@CheckColorName @file_close") << "colornamelist=1 width=8055 menu=pin,hide";
        QTest::newRow("@RText {Ctrl+Q}") << "";
        // A greyed check box changes nothing, whatever asks.
        QTest::newRow("CheckFormtop=2 @display_formtop") << "formtop=2";
        QTest::newRow("condition/colornamelist=1 CheckColorName=2 @display_colorname")
            << "colornamelist=2 width=8055 menu=pin,hide";

        QTest::newRow("@RText 128") << "rgb=128,255,255 code=#80FFFF";
        QTest::newRow("@RText 300") << "";
        // Emptied, the field shows 0 with the caret in front.
        QTest::newRow("@RText {Backspace}5") << "rgb=50,255,255 code=#32FFFF";
        // A 0 typed in front is taken away only when the value changes.
        QTest::newRow("@GText 17{Home}{Shift+Right}0") << "rgb=255,7,255 code=#FF07FF";
        QTest::newRow("@GText 7{Home}0") << "rgb=255,07,255 code=#FF07FF";
        QTest::newRow("@GText 100{Home}{Shift+Right}0") << "rgb=255,0,255 code=#FF00FF";
        QTest::newRow("@BText 1a-.{Space}{Return}５2") << "rgb=255,255,12 code=#FFFF0C";
        QTest::newRow("@BSlider {Left}") << "rgb=255,255,254 code=#FFFFFE";
        QTest::newRow("RSlider=128") << "rgb=128,255,255 code=#80FFFF"; // preview 16777088

        QTest::newRow("@RGBCode") << "code=#";
        QTest::newRow("@RGBCode F{Return}") << "rgb=240,0,0 code=#F00000";
        QTest::newRow("@RGBCode 1234567{Return}") << "rgb=18,52,86 code=#123456";
        QTest::newRow("@RGBCode {Return}") << "rgb=0,0,0 code=#000000";
        QTest::newRow("@RGBCode ff8000{Return}") << "rgb=255,128,0 code=#FF8000";
        QTest::newRow("@RGBCode fg#G-&{Space}f{Return}") << "rgb=255,0,0 code=#FF0000";
        QTest::newRow("@RGBCode ffffff{Return}") << "code=#ffffff"; // the current colour
        QTest::newRow("@RGBCode ffffff{Return}{Backspace} @RText") << "code=#fffff";
        QTest::newRow("@Option_VB @RGBCode ff8000{Return}") << "rgb=255,128,0 code=&H000080FF";
        // "&H00FF8000" is cut to "&H00FF": the slices "&H", "00" and "FF".
        QTest::newRow("@Option_VB @RGBCode 0080FF{Return}{Return}")
            << "rgb=0,0,255 code=&H00FF0000";
        QTest::newRow("@Option_DEC @RGBCode 255{Return}") << "rgb=37,80,0 code=20517";

        // An input method's commits are typed a character at a time, full-width forms as
        // ASCII; a pre-edit touches nothing, whether it ends in a commit or is cancelled.
        QTest::newRow("@RText <１２８>") << "rgb=128,255,255 code=#80FFFF";
        QTest::newRow("@RText <~１> <１> <~２> <２> <~８> <８>") << "rgb=128,255,255 code=#80FFFF";
        QTest::newRow("@RText <~１> <> 7") << "rgb=7,255,255 code=#07FFFF";
        QTest::newRow("@RText <~１２> <>") << "";
        QTest::newRow("@BText <１ａ－．　２>") << "rgb=255,255,12 code=#FFFF0C";
        QTest::newRow("@RGBCode <ｆｆ８０００> {Return}") << "rgb=255,128,0 code=#FF8000";
        QTest::newRow("@RGBCode <っｆ８０００> {Return}") << "rgb=248,0,0 code=#F80000";
        QTest::newRow("@Option_DEC @RGBCode <ＦＦ８０００> {Return}") << "rgb=255,128,0 code=33023";
        // Pasted text arrives folded too.
        QTest::newRow("clip:１２８ @RText {Shift+Insert}") << "rgb=128,255,255 code=#80FFFF";
        QTest::newRow("clip:ＦＦ８０００ @RGBCode {Shift+Insert}{Return}")
            << "rgb=255,128,0 code=#FF8000";
        QTest::newRow("clip:１２８ @RText {Ctrl+V}") << ""; // KeyPress discards Ctrl+V
        // Whatever is pasted, the slider stays in 0..255 and the field shows its value.
        QTest::newRow("clip:-300 @GText {Shift+Insert}") << "rgb=255,0,255 code=#FF00FF";
        QTest::newRow("clip:99999999999999999999999999999999999999 @GText {Shift+Insert}") << "";
        QTest::newRow("clip:0000000000000000000000000000000000000001 @GText {Shift+Insert}")
            << "rgb=255,1,255 code=#FF01FF";

        QTest::newRow("@RText 18 @GText 52 @BText 86 @Option_VB") << "rgb=18,52,86 code=&H00563412";
        QTest::newRow("@Option_VB @RText 18 @GText 52 @BText 86 @Option_DEC @Option_HTML")
            << "rgb=18,52,86 code=#123456";
        QTest::newRow("@CodeCopy") << "copied";
        QTest::newRow("@Option_VB @RGBCode ff @CodeCopy") << "code=#ff copied";

        // A double click in the list in RGB order, a click in the other list.
        const QString listed = " colornamelist=1 width=8055 menu=pin,hide ";
        QTest::newRow("@CheckColorName @@ColorName1[#FF0000_red]")
            << "rgb=255,0,0 code=#FF0000" + listed + "ColorName1=#FF0000 red";
        QTest::newRow("@CheckColorName @ColorName1[#FF0000_red] {Down}")
            << listed.mid(1) + "ColorName1=#FF00FF fuchsia";
        QTest::newRow("@CheckColorName @Arphabet_Sort @ColorName2[aliceblue_#F0F8FF]")
            << "rgb=240,248,255 code=#F0F8FF" + listed + "front=2 ColorName2=aliceblue #F0F8FF";
        // Switching the lists, or hiding and showing them, keeps both selections.
        const QString picked = "@CheckColorName @ColorName1[#FF0000_red] @Arphabet_Sort "
                               "@ColorName2[tan_#D2B48C] @RText 1 @RGB_Sort";
        const QString both = "ColorName1=#FF0000 red ColorName2=tan #D2B48C";
        QTest::newRow(qPrintable(picked + " @CheckColorName @CheckColorName"))
            << "rgb=1,180,140 code=#01B48C" + listed + both;
        QTest::newRow(qPrintable(picked + " @Arphabet_Sort"))
            << "rgb=1,180,140 code=#01B48C" + listed + "front=2 " + both;

        // A drag from a swatch or the preview onto another; a click is a drag onto itself.
        QTest::newRow("favorite/3=255 FavoriteColor(2)>FavoriteColor(6)")
            << "fav3=255 marker=7 fav7=255";
        QTest::newRow("favorite/5=5649426 FavoriteColor(4)>FavoriteColor(4)")
            << "marker=5 fav5=5649426";
        QTest::newRow("favorite/5=5649426 FavoriteColor(4)>Color")
            << "rgb=18,52,86 code=#123456 marker=5 fav5=5649426";
        QTest::newRow("@RText 0 Color>FavoriteColor(1)")
            << "rgb=0,255,255 code=#00FFFF marker=2 fav2=16776960";
        QTest::newRow("favorite/3=255 FavoriteColor(2)>RText") << "fav3=255";
        const QString stored = "rgb=0,128,255 code=#0080FF marker=4 fav4=16744448";
        QTest::newRow("@RText 0 @GText 128 @favorite_add(3)") << stored;
        QTest::newRow("@RText 0 @GText 128 {Shift+F4} @RText 9 @GText {F4}") << stored;
        // Clearing asks first.
        const QString asked = " asked 確認: お気に入りをすべて消去します [OK/Cancel]";
        QTest::newRow("favorite/5=5649426 @favorite_display(4) Cancel @FavoriteClear")
            << "rgb=18,52,86 code=#123456 marker=5 fav5=5649426" + asked;
        QTest::newRow("favorite/5=5649426 @favorite_display(4) @favorite_clear")
            << "rgb=18,52,86 code=#123456" + asked;
        QTest::newRow("favorite/5=5649426 @favorite_display(4) @RText {Ctrl+C}")
            << "rgb=18,52,86 code=#123456" + asked;
        // Palette: the dialog starts from the colour last taken with OK, and Cancel brings
        // that colour back.
        QTest::newRow("chosen=5649426 @SelColor") << "rgb=18,52,86 code=#123456 dialog=0";
        QTest::newRow("chosen=5649426 @SelColor Cancel chosen=255 @RText 1 @SelColor @SelColor")
            << "rgb=18,52,86 code=#123456 dialog=5649426";
    }

    // No step moves or recreates the window or leaves a drag behind. Nothing is stored until
    // the window closes (the close box closes what the steps leave open); then the nine
    // favourites and the three options as they were shown, in that order, at once.
    void scenarios()
    {
        QFETCH(QString, changes);

        const QString script = QString::fromUtf8(QTest::currentDataTag());
        Chromalynx &w = open(script);
        if (needsKeyboard(script))
            SKIP_UNLESS_FOCUSED(w);
        const QPoint where = w.frameGeometry().topLeft();
        const WId native = w.winId();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        act(script);
        const bool copied = QGuiApplication::clipboard()->text() == w.RGBCode->text();
        // Then whether Copy took the code, what the dialog started from and what was asked.
        const QString dialog = QStringLiteral(" dialog=%1").arg(f->dialog.startedFrom);
        const QString asked = " asked " + f->messages.shown.join(" | ");
        QCOMPARE((::changes(w) + (copied ? " copied" : "")
                  + (f->dialog.startedFrom < 0 ? "" : dialog)
                  + (f->messages.shown.isEmpty() ? "" : asked))
                     .trimmed(),
                 changes);
        QCOMPARE(w.frameGeometry().topLeft(), where);
        QVERIFY(!QGuiApplication::overrideCursor());
        QStringList shown;
        for (const platform::PictureBox *swatch : w.FavoriteColor)
            shown << QStringLiteral("favorite/%1=").arg(shown.size() + 1)
                    + QString::number(swatch->backColor());
        shown << QStringLiteral("condition/formtop=%1").arg(w.CheckFormtop->value())
              << QStringLiteral("condition/colornamelist=%1").arg(w.CheckColorName->value())
              << QStringLiteral("condition/char=%1").arg(w.CheckChar->value());
        if (w.isVisible()) {
            QCOMPARE(w.winId(), native);
            QCOMPARE(f->store.writes, QStringList());
            w.close();
        }
        QCOMPARE(f->store.writes, shown);
        QCOMPARE(f->store.flushes, 1);
    }

    // Rows tagged with a script for act(): every source of a colour writes red, then green,
    // then blue, so the code field passes through the new red alone, then red and green.
    void sourcesWriteRedFirst_data()
    {
        QTest::addColumn<QString>("codes");

        const QString steps = "#12FFFF #1234FF #123456";
        QTest::newRow("@RGBCode 123456{Return}") << "# #1 #12 #123 #1234 #12345 #123456 " + steps;
        QTest::newRow("chosen=5649426 @SelColor") << steps;
        QTest::newRow("@CheckColorName @@ColorName1[#4682B4_steelblue]")
            << "#46FFFF #4682FF #4682B4";
        QTest::newRow("@CheckColorName @Arphabet_Sort @ColorName2[tan_#D2B48C]")
            << "#D2FFFF #D2B4FF #D2B48C";
        QTest::newRow("favorite/5=5649426 @favorite_display(4)") << steps;
        QTest::newRow("favorite/5=5649426 FavoriteColor(4)>Color") << steps;
    }

    void sourcesWriteRedFirst()
    {
        QFETCH(QString, codes);

        const QString script = QString::fromUtf8(QTest::currentDataTag());
        Chromalynx &w = open(script);
        if (needsKeyboard(script))
            SKIP_UNLESS_FOCUSED(w);
        QStringList seen;
        connect(w.RGBCode, &QLineEdit::textChanged, &w,
                [&seen](const QString &code) { seen << code; });
        act(script);
        QCOMPARE(seen.join(u' '), codes);
    }

    // Only a file beside the program is the readme: a folder of that name there and a file
    // in the working folder each leave Ctrl+H and the menu entry saying it is missing. (The
    // real-window shortcuts scenario opens a readme that is there.)
    void readmeOnlyCountsBesideTheProgram()
    {
        QTemporaryDir program, working;
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("readme.txt")));
        QVERIFY(QFile(working.filePath(QStringLiteral("readme.txt"))).open(QIODevice::WriteOnly));
        const QString before = QDir::currentPath();
        QDir::setCurrent(working.path());
        const auto back = qScopeGuard([&] { QDir::setCurrent(before); });

        SKIP_UNLESS_FOCUSED(open({}, program.path()));
        act(QStringLiteral("@RText {Ctrl+H} @mhelp_display"));
        QCOMPARE(f->desktop.opened, QList<QUrl>());
        QCOMPARE(f->messages.shown, QStringList(2, "readme: readme.txtがありません。 [OK]"));
    }

    // Rows tagged with steps for act(), "|" and the steps in the About box as it opens: keys,
    // "click:Name" or "Name:Press", a screen reader's action. The box switches always on
    // top off before it opens; its links hand their addresses to the desktop. (What it
    // shows and how a screen reader meets it is the AT-SPI check's.)
    void aboutBox_data()
    {
        QTest::addColumn<QString>("after");  // the changes while the box is open and after it
        QTest::addColumn<QString>("opened"); // where a link was followed, the box stays

        const auto row = [](const char *tag, const char *after, const char *opened) {
            QTest::newRow(tag) << QString(after) << QString(opened);
        };
        row("CheckFormtop=1 | Tab Return", "", "url");
        row("CheckFormtop=2 | Return", "formtop=2", "");
        row("| Mail:Press click:Url", "", "mail url");
    }

    void aboutBox()
    {
        QFETCH(QString, after);
        QFETCH(QString, opened);

        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        Chromalynx &w = open();
        SKIP_UNLESS_FOCUSED(w);
        act(tag.section(u'|', 0, 0));
        bool checked = false;
        QTimer::singleShot(0, &w, [&] {
            auto *about = qobject_cast<AboutDialog *>(QApplication::activeModalWidget());
            QVERIFY2(about, "the About box did not open modally");
            // Whatever fails here, the box must close, or the test would wait for ever.
            const auto closer = qScopeGuard([about] { about->reject(); });
            QCOMPARE(changes(w), after);
            const QPoint off = about->frameGeometry().center() - w.frameGeometry().center();
            QVERIFY2(off.manhattanLength() <= 2, "the About box opens centred on the window");
            QCOMPARE(about->focusWidget(), about->OKButton);
            for (const QString &step : tag.section(u'|', 1).split(u' ', Qt::SkipEmptyParts)) {
                QObject *named = about->findChild<QObject *>(step.section(u':', -1));
                if (step.startsWith(QStringLiteral("click:")))
                    QTest::mouseClick(qobject_cast<QWidget *>(named), Qt::LeftButton);
                else if (step.endsWith(QStringLiteral(":Press")))
                    QAccessible::queryAccessibleInterface(
                        about->findChild<QObject *>(step.section(u':', 0, 0)))
                        ->actionInterface()
                        ->doAction(QAccessibleActionInterface::pressAction());
                else // offscreen the box may not be active yet; its focus is where keys go
                    QTest::keyClick(about->focusWidget(), QKeySequence(step)[0].key());
            }
            QStringList urls;
            for (const QUrl &each : std::as_const(f->desktop.opened))
                urls << (each == QUrl("mailto:" + about->Mail->text()) ? "mail"
                             : each == QUrl(about->Url->text())        ? "url"
                                                                       : each.toString());
            QCOMPARE(urls.join(u' '), opened);
            QCOMPARE(about->isVisible(), !opened.isEmpty());
            checked = true;
        });
        w.move(w.pos() + QPoint(-90, 70)); // wherever the window was moved to
        w.mhelp_version->trigger();
        QVERIFY(checked);
        QCOMPARE(changes(w), after);
    }
};

QTEST_MAIN(ChromalynxTest)
#include "tst_window.moc"
