// The code field's codes, the named-colour catalogue, and the texts of a colour in every
// format with reading any of them back.

#include "colorcodes/colorcodes.h"
#include "colorcodes/colorformats.h"
#include "colorcodes/namedcolors.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace colorcodes;

namespace {

QString readBack(const QString &text)
{
    const ParseResult r = ParseColor(text.toStdString());
    if (r.color) {
        const ColorCodes c = SplitColor(*r.color);
        return QStringLiteral("%1 %2 %3").arg(c.R).arg(c.G).arg(c.B);
    }
    static constexpr std::array errors
        = {"empty", "unknown", "count", "number", "range", "gamut", "alpha"};
    QString why = QString::fromLatin1(errors.at(static_cast<std::size_t>(r.error)));
    if (!r.token.empty())
        why += ' ' + QString::fromStdString(r.token);
    if (r.error == ParseError::Count)
        why += QStringLiteral(" %1").arg(r.expected);
    if (r.error == ParseError::Range)
        why += QStringLiteral(" %1..%2").arg(r.low).arg(r.high);
    return why;
}

} // namespace

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
    void format_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("texts"); // one a line, in the order of AllFormats

        QTest::newRow("steelblue") << MakeColor(70, 130, 180)
                                   << "#4682B4\n#4682b4\nrgb(70 130 180)\nrgb(70, 130, 180)\n"
                                      "hsl(207 44% 49%)\nhsv(207, 61%, 71%)\n"
                                      "cmyk(61%, 28%, 0%, 29%)\n0.275, 0.510, 0.706\n"
                                      "oklch(58.8% 0.09934 245.74)\n&H00B48246\n11829830\n"
                                      "0x00B48246";
        QTest::newRow("red") << MakeColor(255, 0, 0)
                             << "#FF0000\n#ff0000\nrgb(255 0 0)\nrgb(255, 0, 0)\n"
                                "hsl(0 100% 50%)\nhsv(0, 100%, 100%)\ncmyk(0%, 100%, 100%, 0%)\n"
                                "1.000, 0.000, 0.000\noklch(62.8% 0.25768 29.23)\n&H000000FF\n"
                                "255\n0x000000FF";
        // A hue of 359.5° and more is written 0; the top byte never shows, even all ones.
        QTest::newRow("0xFF0200FF") << int(0xFF0200FF)
                                    << "#FF0002\n#ff0002\nrgb(255 0 2)\nrgb(255, 0, 2)\n"
                                       "hsl(0 100% 50%)\nhsv(0, 100%, 100%)\n"
                                       "cmyk(0%, 100%, 99%, 0%)\n1.000, 0.000, 0.008\n"
                                       "oklch(62.8% 0.25761 29.12)\n&H000200FF\n131327\n"
                                       "0x000200FF";
    }

    void format()
    {
        QFETCH(int, color);
        QFETCH(QString, texts);
        QStringList got;
        for (const Format f : AllFormats)
            got << QString::fromStdString(FormatColor(color, f));
        QCOMPARE(got.join(u'\n'), texts);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("read"); // "R G B", or why not

        // Each format, and CSS's other spellings of it.
        const QStringList spellings
            = QStringLiteral(
                  "#4682B4|#4682b4|4682B4|rgb(70 130 180)|rgb(70, 130, 180)|RGB(70,130,180)|"
                  "rgba(70 130 180)|  rgb( 70 , 130 ,180 )  |rgb(27.45% 50.98% 70.59%)|"
                  "rgb(70.4 129.5 180)|hsl(207 44% 49%)|hsl(207, 44%, 49%)|hsl(207deg 44 49)|"
                  "hsla(567 44% 49%)|hsl(-153 44% 49%)|oklch(58.8% 0.09934 245.74)|"
                  "oklch(0.588 0.09934 245.74)|oklch(58.8% 24.835% 245.74deg)|0.275, 0.510, 0.706|"
                  "0.275 0.51 .706|70, 130, 180|70 130 180|&H00B48246|&hb48246|11829830|0x00B48246|"
                  "0XB48246|steelblue|SteelBlue| STEELBLUE ")
                  .split(u'|');
        for (const QString &text : spellings)
            QTest::newRow(qPrintable(text)) << "70 130 180";
        // The rounded texts come back as near colours.
        QTest::newRow("hsv(207, 61%, 71%)") << "71 131 181";
        QTest::newRow("cmyk(61%, 28%, 0%, 29%)") << "71 130 181";
        QTest::newRow("cmyk(0 0 0 100)") << "0 0 0";
        QTest::newRow("hsb(0 100% 100%)") << "255 0 0";
        QTest::newRow("hwb(0 0% 0%)") << "255 0 0";
        QTest::newRow("hwb(0 100% 50%)") << "170 170 170"; // w + b ≥ 1: the grey w / (w + b)
        QTest::newRow("hsl(120deg 100% 25%)") << "0 128 0";
        QTest::newRow("hsl(30 100% 50%)") << "255 128 0";
        QTest::newRow("#abc") << "170 187 204";
        QTest::newRow("rebeccapurple") << "102 51 153";
        QTest::newRow("lightgrey") << "211 211 211";
        QTest::newRow("0") << "0 0 0";
        QTest::newRow("16777215") << "255 255 255";
        QTest::newRow("0, 0, 1") << "0 0 1";                  // integers: components
        QTest::newRow("0, 0, 1.0") << "0 0 255";              // a decimal point: floats
        QTest::newRow("oklch(100% 0.4 60)") << "255 255 255"; // lightness 100% is white
        QTest::newRow("rgb(100% 50% 0%)") << "255 128 0";

        // Texts that are not read, and why.
        QTest::newRow("<nothing>") << "empty";
        QTest::newRow("lightgray") << "unknown lightgray";
        QTest::newRow("steel blue") << "unknown steel blue";
        QTest::newRow("#12345") << "unknown #12345";
        QTest::newRow("rgb(1 2 3") << "unknown rgb(1 2 3";
        QTest::newRow("rgb(1 2)") << "count rgb 3";
        QTest::newRow("cmyk(1 2 3)") << "count cmyk 4";
        QTest::newRow("rgb(1 2 3 / 0.5)") << "alpha /";
        QTest::newRow("rgba(1, 2, 3, 0.5)") << "alpha 0.5";
        QTest::newRow("rgb(1,,2,3)") << "number ,";
        QTest::newRow("rgb(1 x 3)") << "number x";
        QTest::newRow("hsl(10% 50% 50%)") << "number 10%";
        QTest::newRow("rgb(inf 0 0)") << "number inf";
        QTest::newRow("rgb(256 0 0)") << "range 256 0..255";
        QTest::newRow("rgb(101% 0% 0%)") << "range 101% 0..100";
        QTest::newRow("0.5, 0.5, 1.5") << "range 1.5 0..1";
        QTest::newRow("oklch(0.5 -0.1 0)") << "range -0.1 0..inf";
        QTest::newRow("oklch(90% 0.4 120)") << "gamut";
        QTest::newRow("16777216") << "range 16777216 0..1.67772e+07";
        QTest::newRow("&H01000000") << "range &H01000000 0..1.67772e+07";
        QTest::newRow("0x123456789") << "unknown 0x123456789";
        QTest::newRow("ＲＧＢ") << "unknown ＲＧＢ";
    }

    void parse()
    {
        QFETCH(QString, read);
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        QCOMPARE(readBack(tag == u"<nothing>" ? QString() : tag), read);
    }
};

QTEST_APPLESS_MAIN(TestColorCodes)
#include "tst_colorcodes.moc"
