// The code field: an entry starts at "#" when the field gets the focus and becomes the
// current colour on Enter, read in HTML order whatever the notation.

#include "fixture.h"
#include "platform/optionbutton.h"

#include <QSignalSpy>

namespace {

void selectNotation(Chromalynx &w, const QString &notation)
{
    w.findChild<platform::OptionButton *>("Option_" + notation)->setValue(true);
}

} // namespace

class CodeFieldTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void focusStartsAnEntry_data();
    void focusStartsAnEntry();
    void enteredCodeBecomesTheColour_data();
    void enteredCodeBecomesTheColour();
    void enteringTheCurrentColourKeepsTheTypedText();
    void keysThatCannotBelongToACodeAreDiscarded_data();
    void keysThatCannotBelongToACodeAreDiscarded();
    void secondEnterReadsTheShownVbCodeInHtmlOrder();
    void switchingNotationConvertsWithoutMovingSliders();
};

void CodeFieldTest::focusStartsAnEntry_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<QString>("shown");

    QTest::newRow("HTML") << "HTML" << "#FFFFFF";
    QTest::newRow("VB") << "VB" << "&H00FFFFFF";
    QTest::newRow("DEC") << "DEC" << "16777215";
}

void CodeFieldTest::focusStartsAnEntry()
{
    QFETCH(QString, notation);
    QFETCH(QString, shown);

    Fixture f;
    Chromalynx &w = f.open();
    selectNotation(w, notation);
    QCOMPARE(w.RGBCode->text(), shown);

    focus(w.RGBCode);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#"));
    QCOMPARE(w.RGBCode->cursorPosition(), 1);
    QVERIFY(!w.RGBCode->hasSelectedText());
    QCOMPARE(sliders(w), QList<int>({255, 255, 255}));
    QCOMPARE(w.Color->backColor(), 16777215);
}

void CodeFieldTest::enteredCodeBecomesTheColour_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<bool>("overHash"); // the typed text replaces the "#"
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("rgb");
    QTest::addColumn<QString>("shown");

    QTest::newRow("#F") << "HTML" << false << "F" << QList<int>({240, 0, 0}) << "#F00000";
    QTest::newRow("#FF") << "HTML" << false << "FF" << QList<int>({255, 0, 0}) << "#FF0000";
    QTest::newRow("#FFFF") << "HTML" << false << "FFFF" << QList<int>({255, 255, 0}) << "#FFFF00";
    QTest::newRow("#12345") << "HTML" << false << "12345" << QList<int>({18, 52, 80}) << "#123450";
    QTest::newRow("#123456") << "HTML" << false << "123456" << QList<int>({18, 52, 86}) << "#123456";
    QTest::newRow("#1234567") << "HTML" << false << "1234567" << QList<int>({18, 52, 86}) << "#123456";
    QTest::newRow("#") << "HTML" << false << "" << QList<int>({0, 0, 0}) << "#000000";
    QTest::newRow("emptied") << "HTML" << true << "" << QList<int>({0, 0, 0}) << "#000000";
    QTest::newRow("00FF00") << "HTML" << true << "00FF00" << QList<int>({0, 255, 0}) << "#00FF00";
    QTest::newRow("#ff8000") << "HTML" << false << "ff8000" << QList<int>({255, 128, 0}) << "#FF8000";
    QTest::newRow("#aBc0eF") << "HTML" << false << "aBc0eF" << QList<int>({171, 192, 239}) << "#ABC0EF";
    QTest::newRow("VB #ff8000") << "VB" << false << "ff8000" << QList<int>({255, 128, 0}) << "&H000080FF";
    QTest::newRow("DEC 255") << "DEC" << false << "255" << QList<int>({37, 80, 0}) << "20517";
}

void CodeFieldTest::enteredCodeBecomesTheColour()
{
    QFETCH(QString, notation);
    QFETCH(bool, overHash);
    QFETCH(QString, typed);
    QFETCH(QList<int>, rgb);
    QFETCH(QString, shown);

    Fixture f;
    Chromalynx &w = f.open();
    selectNotation(w, notation);
    setSliders(w, 1, 2, 3); // some other colour than any entered
    focus(w.RGBCode);
    if (overHash)
        w.RGBCode->selectAll();
    QTest::keyClicks(w.RGBCode, typed);
    if (overHash && typed.isEmpty())
        QTest::keyClick(w.RGBCode, Qt::Key_Backspace);
    QTest::keyClick(w.RGBCode, Qt::Key_Return);

    QCOMPARE(sliders(w), rgb);
    QCOMPARE(fields(w), QStringList({QString::number(rgb[0]), QString::number(rgb[1]),
                                     QString::number(rgb[2])}));
    QCOMPARE(w.Color->backColor(), rgb[0] + 256 * rgb[1] + 65536 * rgb[2]);
    QCOMPARE(w.RGBCode->text(), shown);
}

void CodeFieldTest::enteringTheCurrentColourKeepsTheTypedText()
{
    Fixture f;
    Chromalynx &w = f.open();
    focus(w.RGBCode);
    QTest::keyClicks(w.RGBCode, QStringLiteral("ffffff"));
    QTest::keyClick(w.RGBCode, Qt::Key_Return);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#ffffff"));
    QCOMPARE(sliders(w), QList<int>({255, 255, 255}));

    // Leaving the field without Enter keeps an entry unparsed.
    QTest::keyClick(w.RGBCode, Qt::Key_Backspace);
    focus(w.RText);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#fffff"));
    QCOMPARE(sliders(w), QList<int>({255, 255, 255}));
}

void CodeFieldTest::keysThatCannotBelongToACodeAreDiscarded_data()
{
    QTest::addColumn<QString>("typed");

    QTest::newRow("#") << "#";
    QTest::newRow("g") << "g";
    QTest::newRow("G") << "G";
    QTest::newRow("space") << " ";
    QTest::newRow("-") << "-";
    QTest::newRow("&") << "&";
}

void CodeFieldTest::keysThatCannotBelongToACodeAreDiscarded()
{
    QFETCH(QString, typed);

    Fixture f;
    Chromalynx &w = f.open();
    focus(w.RGBCode);
    QTest::keyClicks(w.RGBCode, typed);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#"));
    QCOMPARE(sliders(w), QList<int>({255, 255, 255}));
}

void CodeFieldTest::secondEnterReadsTheShownVbCodeInHtmlOrder()
{
    Fixture f;
    Chromalynx &w = f.open();
    selectNotation(w, QStringLiteral("VB"));
    focus(w.RGBCode);
    QTest::keyClicks(w.RGBCode, QStringLiteral("0080FF"));
    QTest::keyClick(w.RGBCode, Qt::Key_Return);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("&H00FF8000"));

    // "&H00FF8000" is cut to "&H00FF": the slices "&H", "00" and "FF".
    QTest::keyClick(w.RGBCode, Qt::Key_Return);
    QCOMPARE(sliders(w), QList<int>({0, 0, 255}));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("&H00FF0000"));
}

void CodeFieldTest::switchingNotationConvertsWithoutMovingSliders()
{
    Fixture f;
    Chromalynx &w = f.open();
    setSliders(w, 18, 52, 86);
    QSignalSpy red(w.RSlider, &QScrollBar::valueChanged);
    QSignalSpy green(w.GSlider, &QScrollBar::valueChanged);
    QSignalSpy blue(w.BSlider, &QScrollBar::valueChanged);

    QCOMPARE(w.RGBCode->text(), QStringLiteral("#123456"));
    selectNotation(w, QStringLiteral("DEC"));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("5649426"));
    selectNotation(w, QStringLiteral("VB"));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("&H00563412"));
    selectNotation(w, QStringLiteral("HTML"));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#123456"));

    // A click on the button the user sees does the same.
    QTest::mouseClick(w.Option_DEC, Qt::LeftButton);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("5649426"));

    QCOMPARE(red.count() + green.count() + blue.count(), 0);
    QCOMPARE(sliders(w), QList<int>({18, 52, 86}));
    QCOMPARE(fields(w), QStringList({"18", "52", "86"}));
}

QTEST_MAIN(CodeFieldTest)
#include "tst_codefield.moc"
