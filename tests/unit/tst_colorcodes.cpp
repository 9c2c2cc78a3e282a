#include "colorcodes/colorcodes.h"
#include "colorcodes/namedcolors.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace colorcodes;

// The tables below pair each input with what it gives, as "input=result".
class TestColorCodes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The two-digit text of every component reads back as it. Only 0-9 and upper-case A-F
    // are digits; any other or missing character counts as 0.
    void hexToLong()
    {
        for (int c = 0; c <= 255; ++c)
            QVERIFY2(TwoDigitHex(c).size() == 2 && HexToLong(TwoDigitHex(c)) == c,
                     qPrintable(QString::number(c)));
        QStringList read;
        for (const char *text : {"F", "", "ff", "G1", "80FFFF"})
            read << text + QStringLiteral("=%1").arg(HexToLong(text));
        QCOMPARE(read, QStringList({"F=240", "=0", "ff=0", "G1=1", "80FFFF=128"}));
    }

    void normalizeCodeEntry()
    {
        QStringList codes;
        for (const char *typed : {"#F", "#1234567", "#", "ff8000", "&H00FF8000", "##12"})
            codes << typed + ('=' + QString::fromStdString(NormalizeCodeEntry(typed)));
        QCOMPARE(codes,
                 QStringList({"#F=F00000", "#1234567=123456", "#=", "ff8000=FF8000",
                              "&H00FF8000=&H00FF", "##12=#12000"}));
    }

    void wholeCatalogue()
    {
        QStringList byCode, byName;
        for (std::size_t i = 0; i < NamedColorCount; ++i) {
            byCode << QString::fromStdString(CodeOrderEntry(NamedColorByCode(i)));
            byName << QString::fromStdString(NameOrderEntry(NamedColorByName(i)));
        }
        QCOMPARE(byCode[109], "#FF0000 red");
        // As text, "#RRGGBB name" sorts by code and then by name, and "name #RRGGBB" by name
        // alone, since every letter of a name comes after the space.
        QVERIFY(std::is_sorted(byCode.cbegin(), byCode.cend()));
        // The name order holds the same entries, each name with the same code.
        byCode.replaceInStrings(QRegularExpression("(.*) (.*)"), "\\2 \\1").sort();
        QCOMPARE(byName, byCode);
        QCOMPARE(byName.filter(QRegularExpression("^[a-z]{3,20} #[0-9A-F]{6}$")).size(), 140);
        // Every name once.
        QCOMPARE(byName.replaceInStrings(QRegularExpression(" .*"), "").removeDuplicates(), 0);
    }
};

QTEST_APPLESS_MAIN(TestColorCodes)
#include "tst_colorcodes.moc"
