// The component sliders and number fields: each row keeps its slider and field together
// and every change repaints the code field and the preview.

#include "fixture.h"
#include "platform/optionbutton.h"

#include <QClipboard>
#include <QSignalSpy>

class EditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sliderMovesRepaintEverything();
    void typedDigitsMoveTheSliderOnTheWay_data();
    void typedDigitsMoveTheSliderOnTheWay();
    void emptiedFieldBecomesZeroWithCaretInFront();
    void leadingZeroIsNormalisedOnlyWhenTheValueChanges_data();
    void leadingZeroIsNormalisedOnlyWhenTheValueChanges();
    void nonDigitKeysAreDiscarded_data();
    void nonDigitKeysAreDiscarded();
    void pastedTextKeepsTheSliderInRange_data();
    void pastedTextKeepsTheSliderInRange();
    void codeFollowsTheSelectedNotation_data();
    void codeFollowsTheSelectedNotation();
};

void EditorTest::sliderMovesRepaintEverything()
{
    Fixture f;
    Chromalynx &w = f.open();
    w.RSlider->setValue(128);
    QCOMPARE(fields(w), QStringList({"128", "255", "255"}));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#80FFFF"));
    QCOMPARE(w.Color->backColor(), 16777088);

    // A drag of the thumb, step by step, and the arrow keys.
    w.GSlider->setSliderDown(true);
    w.GSlider->setSliderPosition(17);
    w.GSlider->setSliderDown(false);
    focus(w.BSlider);
    QTest::keyClick(w.BSlider, Qt::Key_Left);
    QCOMPARE(fields(w), QStringList({"128", "17", "254"}));
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#8011FE"));
    QCOMPARE(w.Color->backColor(), 128 + 256 * 17 + 65536 * 254);
}

void EditorTest::typedDigitsMoveTheSliderOnTheWay_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("passes");
    QTest::addColumn<QString>("shown");

    QTest::newRow("128") << "128" << QList<int>({1, 12, 128}) << "128";
    QTest::newRow("255") << "255" << QList<int>({2, 25, 255}) << "255";
    QTest::newRow("256") << "256" << QList<int>({2, 25, 255}) << "255";
    QTest::newRow("300") << "300" << QList<int>({3, 30, 255}) << "255";
    QTest::newRow("0") << "0" << QList<int>({0}) << "0";
}

void EditorTest::typedDigitsMoveTheSliderOnTheWay()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, passes);
    QFETCH(QString, shown);

    Fixture f;
    Chromalynx &w = f.open();
    focus(w.RText);
    QCOMPARE(w.RText->selectedText(), QStringLiteral("255")); // typing replaces it
    QSignalSpy moves(w.RSlider, &QScrollBar::valueChanged);
    QTest::keyClicks(w.RText, typed);

    QList<int> passed;
    for (const QList<QVariant> &move : moves)
        passed.append(move.at(0).toInt());
    QCOMPARE(passed, passes);
    QCOMPARE(w.RText->text(), shown);
    QCOMPARE(w.RSlider->value(), shown.toInt());
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#%1FFFF").arg(shown.toInt(), 2, 16, QChar(u'0')).toUpper());
}

void EditorTest::emptiedFieldBecomesZeroWithCaretInFront()
{
    Fixture f;
    Chromalynx &w = f.open();
    focus(w.RText);
    QTest::keyClick(w.RText, Qt::Key_Backspace);
    QCOMPARE(w.RText->text(), QStringLiteral("0"));
    QCOMPARE(w.RText->cursorPosition(), 0);
    QCOMPARE(w.RSlider->value(), 0);
    QCOMPARE(w.RGBCode->text(), QStringLiteral("#00FFFF"));

    QTest::keyClick(w.RText, Qt::Key_5);
    QCOMPARE(w.RText->text(), QStringLiteral("50"));
    QCOMPARE(w.RSlider->value(), 50);
}

void EditorTest::leadingZeroIsNormalisedOnlyWhenTheValueChanges_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("value");

    QTest::newRow("17, 1 selected") << "17" << 0 << 1 << "7" << 7;
    QTest::newRow("7, caret in front") << "7" << 0 << 0 << "07" << 7;
    QTest::newRow("100, 1 selected") << "100" << 0 << 1 << "0" << 0;
}

void EditorTest::leadingZeroIsNormalisedOnlyWhenTheValueChanges()
{
    QFETCH(QString, before);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(QString, after);
    QFETCH(int, value);

    Fixture f;
    Chromalynx &w = f.open();
    w.GText->setText(before);
    focus(w.GText);
    w.GText->setSelection(selectionStart, selectionLength);
    QTest::keyClick(w.GText, Qt::Key_0);
    QCOMPARE(w.GText->text(), after);
    QCOMPARE(w.GSlider->value(), value);
}

void EditorTest::nonDigitKeysAreDiscarded_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("a") << int(Qt::Key_A) << "a";
    QTest::newRow("Z") << int(Qt::Key_Z) << "Z";
    QTest::newRow("-") << int(Qt::Key_Minus) << "-";
    QTest::newRow(".") << int(Qt::Key_Period) << ".";
    QTest::newRow("space") << int(Qt::Key_Space) << " ";
    QTest::newRow("Enter") << int(Qt::Key_Return) << "\r";
    QTest::newRow("full-width 5") << int(Qt::Key_unknown) << "５";
}

void EditorTest::nonDigitKeysAreDiscarded()
{
    QFETCH(int, key);
    QFETCH(QString, text);

    Fixture f;
    Chromalynx &w = f.open();
    w.BText->setText(QStringLiteral("12"));
    focus(w.BText);
    w.BText->setCursorPosition(1);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w.BText, &press);
    QCOMPARE(w.BText->text(), QStringLiteral("12"));
    QCOMPARE(w.BSlider->value(), 12);

    QTest::keyClick(w.BText, Qt::Key_Backspace); // backspace still edits
    QCOMPARE(w.BText->text(), QStringLiteral("2"));
    QCOMPARE(w.BSlider->value(), 2);
}

void EditorTest::pastedTextKeepsTheSliderInRange_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("fromClipboard"); // else as an input method would insert it

    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("-5") << "-5" << false;
    QTest::newRow("12.5") << "12.5" << false;
    QTest::newRow("spaces") << "   " << false;
    QTest::newRow(" 7 ") << " 7 " << false;
    QTest::newRow("1e3") << "1e3" << false;
    QTest::newRow("forty digits") << QString(40, u'9') << false;
    QTest::newRow("forty zeros then 1") << QString(40, u'0') + u'1' << false;
    QTest::newRow("full-width 12") << "１２" << false;
    QTest::newRow("-300 from the clipboard") << "-300" << true;
    QTest::newRow("forty digits from the clipboard") << QString(40, u'9') << true;
}

void EditorTest::pastedTextKeepsTheSliderInRange()
{
    QFETCH(QString, pasted);
    QFETCH(bool, fromClipboard);

    Fixture f;
    Chromalynx &w = f.open();
    focus(w.GText); // selects "255", which the paste replaces
    if (fromClipboard) {
        QGuiApplication::clipboard()->setText(pasted);
        w.GText->paste();
    } else {
        w.GText->insert(pasted);
    }
    QVERIFY2(w.GSlider->value() >= 0 && w.GSlider->value() <= 255,
             qPrintable(QString::number(w.GSlider->value())));
    QCOMPARE(w.GText->text(), QString::number(w.GSlider->value()));
    QCOMPARE(w.Color->backColor(), 255 + 256 * w.GSlider->value() + 65536 * 255);
}

void EditorTest::codeFollowsTheSelectedNotation_data()
{
    QTest::addColumn<QString>("notation");
    QTest::addColumn<QList<int>>("rgb");
    QTest::addColumn<QString>("code");

    QTest::newRow("DEC 0,0,1") << "DEC" << QList<int>({0, 0, 1}) << "65536";
    QTest::newRow("DEC 255,255,255") << "DEC" << QList<int>({255, 255, 255}) << "16777215";
    QTest::newRow("VB 255,0,0") << "VB" << QList<int>({255, 0, 0}) << "&H000000FF";
    QTest::newRow("VB 10,16,0") << "VB" << QList<int>({10, 16, 0}) << "&H0000100A";
    QTest::newRow("HTML 10,16,0") << "HTML" << QList<int>({10, 16, 0}) << "#0A1000";
}

void EditorTest::codeFollowsTheSelectedNotation()
{
    QFETCH(QString, notation);
    QFETCH(QList<int>, rgb);
    QFETCH(QString, code);

    Fixture f;
    Chromalynx &w = f.open();
    w.findChild<platform::OptionButton *>("Option_" + notation)->setValue(true);
    setSliders(w, rgb[0], rgb[1], rgb[2]);
    QCOMPARE(w.RGBCode->text(), code);
    QCOMPARE(w.Color->backColor(), rgb[0] + 256 * rgb[1] + 65536 * rgb[2]);
}

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
