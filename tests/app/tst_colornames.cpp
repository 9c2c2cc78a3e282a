// The colour-name lists: taking a colour from an entry, showing and hiding the list
// column, and choosing which list is in front.

#include "fixture.h"
#include "platform/checkbox.h"
#include "platform/listbox.h"
#include "platform/optionbutton.h"

#include <QAction>

namespace {

QListWidgetItem *entry(platform::ListBox *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    return found.size() == 1 ? found.front() : nullptr;
}

QPoint centreOf(platform::ListBox *list, QListWidgetItem *item)
{
    list->scrollToItem(item);
    return list->visualItemRect(item).center();
}

void click(platform::ListBox *list, QListWidgetItem *item)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, item));
}

void doubleClick(platform::ListBox *list, QListWidgetItem *item)
{
    const QPoint at = centreOf(list, item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

const QString Shown = QStringLiteral("色名リスト非表示");
const QString Hidden = QStringLiteral("色名リスト表示");

} // namespace

class ColorNamesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void doubleClickInCodeListAppliesTheEntry_data();
    void doubleClickInCodeListAppliesTheEntry();
    void singleClickOrArrowInCodeListOnlySelects();
    void selectingInNameListAppliesAtOnce();
    void noSelectionGivesBlack_data();
    void noSelectionGivesBlack();
    void columnIsShownAndHidden_data();
    void columnIsShownAndHidden();
    void greyedCheckBoxChangesNothing_data();
    void greyedCheckBoxChangesNothing();
    void switchingListsKeepsSelectionsAndColour();
};

void ColorNamesTest::doubleClickInCodeListAppliesTheEntry_data()
{
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("#FF0000 red") << QStringList({"255", "0", "0"});
    QTest::newRow("#00FFFF aqua") << QStringList({"0", "255", "255"});
    QTest::newRow("#00FFFF cyan") << QStringList({"0", "255", "255"});
    QTest::newRow("#4682B4 steelblue") << QStringList({"70", "130", "180"});
    QTest::newRow("#000000 black") << QStringList({"0", "0", "0"});
    QTest::newRow("#FFFFE0 lightyellow") << QStringList({"255", "255", "224"});
}

void ColorNamesTest::doubleClickInCodeListAppliesTheEntry()
{
    QFETCH(QStringList, shown);

    Fixture f;
    Chromalynx &w = f.open();
    w.CheckColorName->setValue(1);
    QListWidgetItem *item = entry(w.ColorName1, QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(item);
    doubleClick(w.ColorName1, item);

    QCOMPARE(fields(w), shown);
    QCOMPARE(sliders(w), QList<int>({shown[0].toInt(), shown[1].toInt(), shown[2].toInt()}));
    QCOMPARE(w.RGBCode->text(), item->text().left(7));
}

void ColorNamesTest::singleClickOrArrowInCodeListOnlySelects()
{
    Fixture f;
    Chromalynx &w = f.open();
    w.CheckColorName->setValue(1);
    click(w.ColorName1, entry(w.ColorName1, QStringLiteral("#FF0000 red")));
    QCOMPARE(w.ColorName1->text(), QStringLiteral("#FF0000 red"));
    QTest::keyClick(w.ColorName1, Qt::Key_Down);
    QCOMPARE(w.ColorName1->text(), QStringLiteral("#FF00FF fuchsia"));
    QCOMPARE(sliders(w), QList<int>({255, 255, 255}));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#FFFFFF"));
}

void ColorNamesTest::selectingInNameListAppliesAtOnce()
{
    Fixture f;
    Chromalynx &w = f.open();
    w.CheckColorName->setValue(1);
    w.Arphabet_Sort->setValue(true);
    QVERIFY(w.ColorName2->isVisible());

    click(w.ColorName2, entry(w.ColorName2, QStringLiteral("aliceblue #F0F8FF")));
    QCOMPARE(fields(w), QStringList({"240", "248", "255"}));
    QTest::keyClick(w.ColorName2, Qt::Key_Down);
    QCOMPARE(w.ColorName2->text(), QStringLiteral("antiquewhite #FAEBD7"));
    QCOMPARE(fields(w), QStringList({"250", "235", "215"}));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#FAEBD7"));
}

void ColorNamesTest::noSelectionGivesBlack_data()
{
    QTest::addColumn<bool>("nameList");
    QTest::newRow("ColorName1_DblClick") << false;
    QTest::newRow("ColorName2_Click") << true;
}

void ColorNamesTest::noSelectionGivesBlack()
{
    QFETCH(bool, nameList);

    Fixture f;
    Chromalynx &w = f.open();
    if (nameList)
        w.ColorName2_Click();
    else
        w.ColorName1_DblClick();
    QCOMPARE(fields(w), QStringList({"0", "0", "0"}));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#000000"));
}

void ColorNamesTest::columnIsShownAndHidden_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("check box value") << "value";
    QTest::newRow("check box click") << "click";
    QTest::newRow("display_colorname") << "menu";
    QTest::newRow("Ctrl+D in RText") << "keys";
}

void ColorNamesTest::columnIsShownAndHidden()
{
    QFETCH(QString, how);

    Fixture f;
    Chromalynx &w = f.open();
    const auto flip = [&](int to) {
        if (how == "value")
            w.CheckColorName->setValue(to);
        else if (how == "click")
            QTest::mouseClick(w.CheckColorName, Qt::LeftButton);
        else if (how == "menu")
            w.display_colorname->trigger();
        else
            QTest::keyClick(w.RText, Qt::Key_D, Qt::ControlModifier);
    };
    focus(w.RText);
    const int left = w.frameGeometry().left();

    flip(1);
    QCOMPARE(w.CheckColorName->value(), 1);
    QCOMPARE(w.outerWidth(), 8055);
    QCOMPARE(w.display_colorname->text(), Shown);
    QVERIFY(w.ColorName1->isVisible() && !w.ColorName2->isVisible());

    flip(0);
    QCOMPARE(w.CheckColorName->value(), 0);
    QCOMPARE(w.outerWidth(), 4860);
    QCOMPARE(w.outerHeight(), 3105);
    QCOMPARE(w.display_colorname->text(), Hidden);
    QCOMPARE(w.frameGeometry().left(), left);
    QCOMPARE(w.CheckColorName->text(), Hidden);
}

void ColorNamesTest::greyedCheckBoxChangesNothing_data()
{
    QTest::addColumn<bool>("shownBefore");
    QTest::newRow("from hidden") << false;
    QTest::newRow("from shown") << true;
}

void ColorNamesTest::greyedCheckBoxChangesNothing()
{
    QFETCH(bool, shownBefore);

    Fixture f;
    Chromalynx &w = f.open();
    w.CheckColorName->setValue(shownBefore ? 1 : 0);
    const int width = w.outerWidth();
    const QString caption = w.display_colorname->text();

    w.CheckColorName->setValue(2); // runs the check box's handling with 2
    w.CheckColorName_Click();
    w.display_colorname->trigger();
    QCOMPARE(w.CheckColorName->value(), 2);
    QCOMPARE(w.outerWidth(), width);
    QCOMPARE(w.display_colorname->text(), caption);
}

void ColorNamesTest::switchingListsKeepsSelectionsAndColour()
{
    Fixture f;
    Chromalynx &w = f.open();
    w.CheckColorName->setValue(1);
    click(w.ColorName1, entry(w.ColorName1, QStringLiteral("#FF0000 red")));
    w.Arphabet_Sort->setValue(true);
    click(w.ColorName2, entry(w.ColorName2, QStringLiteral("tan #D2B48C")));
    QCOMPARE(fields(w), QStringList({"210", "180", "140"}));
    setSliders(w, 1, 2, 3);
    focus(w.RText);

    w.RGB_Sort->setValue(true);
    QVERIFY(w.ColorName1->isVisible() && !w.ColorName2->isVisible());
    w.CheckColorName->setValue(0);
    w.CheckColorName->setValue(1);
    QVERIFY(w.ColorName1->isVisible() && !w.ColorName2->isVisible());
    w.Arphabet_Sort->setValue(true);
    QVERIFY(w.ColorName2->isVisible() && !w.ColorName1->isVisible());

    QCOMPARE(w.ColorName1->text(), QStringLiteral("#FF0000 red"));
    QCOMPARE(w.ColorName2->text(), QStringLiteral("tan #D2B48C"));
    QCOMPARE(sliders(w), QList<int>({1, 2, 3}));
    QCOMPARE(QApplication::focusWidget(), w.RText);
}

QTEST_MAIN(ColorNamesTest)
#include "tst_colornames.moc"
