// The main window as it opens, with the stored settings applied, and what it stores when
// it closes.

#include "fixture.h"
#include "platform/checkbox.h"
#include "platform/listbox.h"
#include "platform/optionbutton.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {

const QList<int> AllWhite(9, 16777215);

QList<int> whiteBut(int index, int color)
{
    QList<int> colors = AllWhite;
    colors[index] = color;
    return colors;
}

bool isTopmost(const Chromalynx &w)
{
    return w.windowHandle() && w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

QRect pixels(int left, int top, int width, int height)
{
    return {qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0)};
}

QStringList closingWrites(const QStringList &favorites, const QString &formtop,
                          const QString &colornamelist, const QString &chr)
{
    QStringList writes;
    for (int i = 0; i < 9; ++i)
        writes << QStringLiteral("favorite/%1=%2").arg(i + 1).arg(favorites[i]);
    writes << "condition/formtop=" + formtop << "condition/colornamelist=" + colornamelist
           << "condition/char=" + chr;
    return writes;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyStoreGivesStartState();
    void controlLayout_data();
    void controlLayout();
    void focusableControlsHaveAccessibleNames();
    void tabOrder_data();
    void tabOrder();
    void menus_data();
    void menus();
    void storedValuesAreApplied_data();
    void storedValuesAreApplied();
    void firstCloseWritesDefaults();
    void everyWayOfClosingStoresTheSame_data();
    void everyWayOfClosingStoresTheSame();
};

void StartupTest::emptyStoreGivesStartState()
{
    Fixture f;
    Chromalynx &w = f.open();

    QCOMPARE(w.windowTitle(), QStringLiteral("Chromalynx"));
    QVERIFY(!w.windowIcon().isNull());
    QVERIFY(w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(w.minimumSize(), w.maximumSize()); // the user cannot resize it
    QCOMPARE(w.outerWidth(), 4830);
    QCOMPARE(w.outerHeight(), 3105);
    QCOMPARE(w.frameGeometry().size(), QSize(322, 207));
    QCOMPARE(w.size(), QSize(322, 207).shrunkBy(w.windowHandle()->frameMargins()));
    const QPoint off = w.frameGeometry().center() - w.screen()->availableGeometry().center();
    QVERIFY2(off.manhattanLength() <= 2, "the window opens centred on the screen");
    QCOMPARE(sliders(w), QList<int>({255, 255, 255}));
    QCOMPARE(fields(w), QStringList({"255", "255", "255"}));
    QCOMPARE(w.Color->backColor(), 16777215);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#FFFFFF"));
    QCOMPARE(QApplication::focusWidget(), w.CodeCopy);
    QVERIFY(w.Option_HTML->value() && !w.Option_VB->value() && !w.Option_DEC->value());
    QVERIFY(w.RGB_Sort->value() && !w.Arphabet_Sort->value());
    QCOMPARE(favoriteColors(w), AllWhite);
    QCOMPARE(markedFavorites(w), QList<int>({0}));
    for (int i = 1; i < 9; ++i)
        QVERIFY2(w.FavoriteColor[i]->picture().isNull(), "only favourite 1 carries an image");
    QCOMPARE(w.CheckFormtop->value(), 0);
    QCOMPARE(w.CheckColorName->value(), 0);
    QCOMPARE(w.CheckChar->value(), 0);
    QVERIFY(!isTopmost(w));
    QVERIFY(w.ColorName1->isVisible());
    QVERIFY(!w.ColorName2->isVisible());
    for (platform::ListBox *list : {w.ColorName1, w.ColorName2}) {
        QCOMPARE(list->count(), 140);
        QVERIFY(list->text().isEmpty());
        int widest = 0;
        for (int i = 0; i < list->count(); ++i)
            widest = std::max(widest, list->entryWidth(i));
        QCOMPARE(list->horizontalExtent(), widest + 5); // scrolls to the widest entry
    }
}

void StartupTest::controlLayout_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("toolTip");

    // Positions in twips, in the client area (in Frame1 for the two sort buttons).
    QTest::newRow("RGBCode") << "#FFFFFF" << pixels(840, 0, 1455, 270) << "";
    QTest::newRow("CodeCopy") << "Copy" << pixels(2280, 0, 720, 250) << "RGB値をコピー";
    QTest::newRow("SelColor") << "Palette" << pixels(2280, 540, 720, 375) << "色を選択";
    QTest::newRow("RText") << "255" << pixels(4200, 1005, 495, 270) << "";
    QTest::newRow("FavoriteClear") << "Clear" << pixels(3540, 1845, 585, 375) << "お気に入りを削除";
    QTest::newRow("Color") << "" << pixels(840, 540, 1455, 375) << "";
    QTest::newRow("FavoriteColor(0)") << "" << pixels(285, 1845, 375, 375) << "";
    QTest::newRow("FavoriteColor(8)") << "" << pixels(3165, 1845, 375, 375) << "";
    QTest::newRow("Picture1") << "" << pixels(840, 2550, 375, 375) << "";
    QTest::newRow("Label5") << "表示色：" << pixels(150, 620, 735, 255) << "";
    QTest::newRow("Label17") << "9" << pixels(3285, 2220, 135, 255) << "";
    QTest::newRow("Option_HTML") << "HTML" << pixels(840, 320, 855, 180) << "";
    QTest::newRow("CheckFormtop") << "常に手前に表示" << pixels(3120, 360, 1575, 180) << "";
    QTest::newRow("CheckColorName") << "色名リスト表示" << pixels(3120, 75, 1455, 180) << "";
    QTest::newRow("ColorName1") << "" << pixels(4860, 15, 3045, 1860) << "色名選択";
    QTest::newRow("ColorName2 moved over ColorName1") << "" << pixels(4860, 15, 3045, 1860) << "色名選択";
    QTest::newRow("CheckChar") << "文字を表示" << pixels(1650, 2655, 1215, 180) << "";
    QTest::newRow("RSlider") << "" << pixels(465, 1035, 3615, 165) << "";
    QTest::newRow("Frame1") << "" << pixels(4860, 1890, 3045, 450) << "";
    QTest::newRow("RGB_Sort") << "RGB順" << pixels(165, 180, 945, 180) << "";
    QTest::newRow("Option_DEC") << "DEC" << pixels(2355, 320, 735, 195) << "";
}

void StartupTest::controlLayout()
{
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QFETCH(QString, toolTip);

    Fixture f;
    Chromalynx &w = f.open();
    const QString name = QString::fromLatin1(QTest::currentDataTag()).section(u' ', 0, 0);
    const auto *control = w.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable("no control named " + name));
    QCOMPARE(control->property("text").toString(), caption);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->toolTip(), toolTip);
}

void StartupTest::focusableControlsHaveAccessibleNames()
{
    Fixture f;
    Chromalynx &w = f.open();
    const auto controls = w.centralWidget()->findChildren<QWidget *>();
    for (const QWidget *control : controls) {
        const bool swatch = qobject_cast<const platform::PictureBox *>(control) != nullptr
            && control != w.Picture1 && control != w.Picture2;
        if ((control->focusPolicy() & Qt::TabFocus) || swatch)
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
}

void StartupTest::tabOrder_data()
{
    QTest::addColumn<QString>("next");

    QTest::newRow("RGBCode") << "CodeCopy";
    QTest::newRow("CodeCopy") << "SelColor";
    QTest::newRow("SelColor") << "RText";
    QTest::newRow("FavoriteClear") << "Option_HTML";
    QTest::newRow("CheckColorName") << "ColorName1";
    QTest::newRow("ColorName2") << "RSlider";
    QTest::newRow("BSlider") << "RGB_Sort";
}

void StartupTest::tabOrder()
{
    QFETCH(QString, next);

    Fixture f;
    Chromalynx &w = f.open();
    const QWidget *from = w.findChild<QWidget *>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(from);
    QWidget *after = from->nextInFocusChain();
    while (after != from && !(after->focusPolicy() & Qt::TabFocus))
        after = after->nextInFocusChain();
    QCOMPARE(after->objectName(), next);
}

void StartupTest::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");

    QTest::newRow("file") << "" << "ファイル(&F)" << QKeySequence();
    QTest::newRow("file_close") << "file" << "終了" << QKeySequence("Ctrl+Q");
    QTest::newRow("favorite") << "" << "お気に入り(&V)" << QKeySequence();
    QTest::newRow("favorite_add_") << "favorite" << "追加" << QKeySequence();
    QTest::newRow("favorite_add(3)") << "favorite_add_" << "4" << QKeySequence("Shift+F4");
    QTest::newRow("favorite_add(8)") << "favorite_add_" << "9" << QKeySequence("Shift+F9");
    QTest::newRow("favorite_display_") << "favorite" << "表示" << QKeySequence();
    QTest::newRow("favorite_display(8)") << "favorite_display_" << "9" << QKeySequence("F9");
    QTest::newRow("favorite_clear") << "favorite" << "消去" << QKeySequence("Ctrl+C");
    QTest::newRow("display") << "" << "表示(&D)" << QKeySequence();
    QTest::newRow("display_colorname") << "display" << "色名リスト表示" << QKeySequence("Ctrl+D");
    QTest::newRow("display_formtop") << "display" << "常に手前に表示" << QKeySequence("Ctrl+T");
    QTest::newRow("mhelp") << "" << "ヘルプ(&H)" << QKeySequence();
    QTest::newRow("mhelp_display") << "mhelp" << "readmeの表示" << QKeySequence("Ctrl+H");
    QTest::newRow("mhelp_version") << "mhelp" << "バージョン情報" << QKeySequence();
}

void StartupTest::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);

    Fixture f;
    Chromalynx &w = f.open();
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QAction *entry = nullptr;
    if (const QMenu *submenu = w.findChild<QMenu *>(name))
        entry = submenu->menuAction();
    else
        entry = w.findChild<QAction *>(name);
    QVERIFY2(entry, qPrintable("no menu entry named " + name));
    QCOMPARE(entry->text(), caption);
    QCOMPARE(entry->shortcut(), shortcut);
    QVERIFY(entry->isEnabled() && entry->isVisible() && !entry->isChecked());

    const QList<QAction *> siblings = menu.isEmpty() ? w.menuBar()->actions()
                                                     : w.findChild<QMenu *>(menu)->actions();
    QVERIFY2(siblings.contains(entry), qPrintable(name + " is not in " + menu));
}

void StartupTest::storedValuesAreApplied_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QList<int>>("favorites");
    QTest::addColumn<QList<int>>("checks"); // formtop, colornamelist, char
    QTest::addColumn<int>("width");

    const QList<int> clear = {0, 0, 0};
    QTest::newRow("favorite 5=255") << QStringList{"favorite/5=255"} << whiteBut(4, 255) << clear << 4830;
    QTest::newRow("favorite 1=255 2=65280")
        << QStringList{"favorite/1=255", "favorite/2=65280"}
        << QList<int>({255, 65280, 16777215, 16777215, 16777215, 16777215, 16777215, 16777215,
                       16777215})
        << clear << 4830;
    QTest::newRow("favorite 9=0") << QStringList{"favorite/9=0"} << whiteBut(8, 0) << clear << 4830;
    QTest::newRow("formtop=1") << QStringList{"condition/formtop=1"} << AllWhite
                               << QList<int>({1, 0, 0}) << 4830;
    QTest::newRow("formtop=2") << QStringList{"condition/formtop=2"} << AllWhite
                               << QList<int>({2, 0, 0}) << 4830;
    QTest::newRow("colornamelist=1") << QStringList{"condition/colornamelist=1"} << AllWhite
                                     << QList<int>({0, 1, 0}) << 8055;
    QTest::newRow("colornamelist=2") << QStringList{"condition/colornamelist=2"} << AllWhite
                                     << QList<int>({0, 2, 0}) << 4830;
    QTest::newRow("char=1") << QStringList{"condition/char=1"} << AllWhite
                            << QList<int>({0, 0, 1}) << 4830;

    // Texts the program never writes count as missing.
    for (const char *text : {"abc", "12x", "", "2.5", "-1", "16777216", "99999999999999999999"})
        QTest::addRow("favorite 1=\"%s\"", text)
            << QStringList{QStringLiteral("favorite/1=") + text} << AllWhite << clear << 4830;
    for (const char *text : {"3", "-1", "1.0", "one", "65537"})
        QTest::addRow("formtop=\"%s\" colornamelist=\"%s\"", text, text)
            << QStringList{QStringLiteral("condition/formtop=") + text,
                           QStringLiteral("condition/colornamelist=") + text}
            << AllWhite << clear << 4830;
}

void StartupTest::storedValuesAreApplied()
{
    QFETCH(QStringList, stored);
    QFETCH(QList<int>, favorites);
    QFETCH(QList<int>, checks);
    QFETCH(int, width);

    Fixture f;
    f.store.seed(stored);
    Chromalynx &w = f.open();

    QCOMPARE(favoriteColors(w), favorites);
    QCOMPARE(markedFavorites(w), QList<int>({0}));
    QCOMPARE(QList<int>({w.CheckFormtop->value(), w.CheckColorName->value(), w.CheckChar->value()}),
             checks);
    QCOMPARE(isTopmost(w), checks[0] == 1);
    QCOMPARE(w.display_formtop->text(),
             checks[0] == 1 ? QStringLiteral("常に手前に表示を解除") : QStringLiteral("常に手前に表示"));
    QCOMPARE(w.display_colorname->text(), checks[1] == 1 ? QStringLiteral("色名リスト非表示")
                                                         : QStringLiteral("色名リスト表示"));
    QCOMPARE(w.outerWidth(), width);
    QCOMPARE(w.outerHeight(), 3105);
    // The editor starts white whatever was stored.
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#FFFFFF"));
    QVERIFY(w.ColorName1->isVisible() && w.RGB_Sort->value());
    QVERIFY(f.store.writes.isEmpty());
}

void StartupTest::firstCloseWritesDefaults()
{
    Fixture f;
    Chromalynx &w = f.open();
    w.close();
    QCOMPARE(f.store.writes, closingWrites(QStringList(9, "16777215"), "0", "0", "0"));
    QCOMPARE(f.store.flushes, 1);
}

void StartupTest::everyWayOfClosingStoresTheSame_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close box";
    QTest::newRow("file_close") << "file_close";
    QTest::newRow("Ctrl+Q in RText") << "Ctrl+Q";
}

void StartupTest::everyWayOfClosingStoresTheSame()
{
    QFETCH(QString, how);

    Fixture f;
    f.store.seed({"favorite/4=65280", "condition/char=1", "condition/formtop=1"});
    Chromalynx &w = f.open();
    setSliders(w, 0, 128, 255);
    w.favorite_add_Click(6);
    w.CheckColorName->setValue(1);
    w.CheckFormtop->setValue(0);

    if (how == "close box") {
        w.close();
    } else if (how == "file_close") {
        w.file_close_Click();
    } else {
        focus(w.RText);
        QTest::keyClick(w.RText, Qt::Key_Q, Qt::ControlModifier);
    }

    QVERIFY(!w.isVisible());
    QStringList favorites(9, "16777215");
    favorites[3] = "65280";
    favorites[6] = "16744448";
    QCOMPARE(f.store.writes, closingWrites(favorites, "0", "1", "1"));
    QCOMPARE(f.store.flushes, 1);
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
