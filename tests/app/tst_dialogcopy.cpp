// Palette takes a colour from the colour dialog; Copy puts the code field's text on the
// clipboard.

#include "fixture.h"
#include "platform/optionbutton.h"

#include <QClipboard>
#include <QPushButton>

class DialogCopyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void okAppliesTheChosenColour_data();
    void okAppliesTheChosenColour();
    void cancelKeepsTheCurrentColour();
    void copyPutsTheFieldTextOnTheClipboard_data();
    void copyPutsTheFieldTextOnTheClipboard();
};

void DialogCopyTest::okAppliesTheChosenColour_data()
{
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("code");

    QTest::newRow("pure red") << 255 << QStringList({"255", "0", "0"}) << "#FF0000";
    QTest::newRow("black") << 0 << QStringList({"0", "0", "0"}) << "#000000";
    QTest::newRow("18,52,86") << 5649426 << QStringList({"18", "52", "86"}) << "#123456";
}

void DialogCopyTest::okAppliesTheChosenColour()
{
    QFETCH(int, chosen);
    QFETCH(QStringList, shown);
    QFETCH(QString, code);

    Fixture f;
    Chromalynx &w = f.open();
    const QList<int> marks = markedFavorites(w);
    f.dialog.chosen = chosen;
    QTest::mouseClick(w.SelColor, Qt::LeftButton);

    QCOMPARE(f.dialog.calls, 1);
    QCOMPARE(fields(w), shown);
    QCOMPARE(sliders(w), QList<int>({shown[0].toInt(), shown[1].toInt(), shown[2].toInt()}));
    QCOMPARE(w.Color->backColor(), chosen);
    QCOMPARE(w.RGBCode->text(), code);
    QCOMPARE(markedFavorites(w), marks);
    QCOMPARE(favoriteColors(w), QList<int>(9, 16777215));
}

void DialogCopyTest::cancelKeepsTheCurrentColour()
{
    Fixture f;
    Chromalynx &w = f.open();
    f.dialog.chosen = 5649426;
    w.SelColor_Click();
    setSliders(w, 1, 2, 3);

    f.dialog.answerOk = false;
    f.dialog.chosen = 255; // what the dialog showed when the user cancelled
    w.SelColor_Click();
    QCOMPARE(f.dialog.calls, 2);
    QCOMPARE(sliders(w), QList<int>({1, 2, 3}));
    QCOMPARE(fields(w), QStringList({"1", "2", "3"}));
    QCOMPARE(w.Color->backColor(), 1 + 2 * 256 + 3 * 65536);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#010203"));

    // The next opening still starts from the colour last confirmed with OK.
    w.SelColor_Click();
    QCOMPARE(f.dialog.startedFrom, 5649426);
}

void DialogCopyTest::copyPutsTheFieldTextOnTheClipboard_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<bool>("edit"); // give the code field the focus first and type
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("copied");

    QTest::newRow("HTML") << "HTML" << false << "" << "#123456";
    QTest::newRow("VB") << "VB" << false << "" << "&H00563412";
    QTest::newRow("DEC") << "DEC" << false << "" << "5649426";
    QTest::newRow("typed #12") << "HTML" << true << "12" << "#12";
    QTest::newRow("typed under VB #ff") << "VB" << true << "ff" << "#ff";
    QTest::newRow("emptied") << "HTML" << true << "\b" << "";
}

void DialogCopyTest::copyPutsTheFieldTextOnTheClipboard()
{
    QFETCH(QString, notation);
    QFETCH(bool, edit);
    QFETCH(QString, typed);
    QFETCH(QString, copied);

    Fixture f;
    Chromalynx &w = f.open();
    w.findChild<platform::OptionButton *>("Option_" + notation)->setValue(true);
    setSliders(w, 18, 52, 86);
    if (edit) {
        focus(w.RGBCode);
        QTest::keyClicks(w.RGBCode, typed);
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    QTest::mouseClick(w.CodeCopy, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    QCOMPARE(w.RGBCode->text(), copied);
    QCOMPARE(sliders(w), QList<int>({18, 52, 86}));
}

QTEST_MAIN(DialogCopyTest)
#include "tst_dialogcopy.moc"
