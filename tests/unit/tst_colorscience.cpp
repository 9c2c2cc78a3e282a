// Colour spaces, CIEDE2000, contrast and colour-vision simulation against published
// reference values, and round trips over the whole 8-bit sRGB cube.

#include "colorcodes/colorscience.h"

#include <QFile>
#include <QTest>

#include <cmath>

using namespace colorcodes;

namespace {

ColorValue hex(const char *rrggbb)
{
    const std::string_view code(rrggbb);
    return MakeColor(HexToLong(code.substr(0, 2)), HexToLong(code.substr(2, 2)),
                     HexToLong(code.substr(4, 2)));
}

QString html(ColorValue color)
{
    return QString::fromStdString(SplitColor(color).HTMLCode);
}

// The data lines of a file in tests/unit/data, comments left out.
QStringList dataLines(const QString &name)
{
    QFile file(QFINDTESTDATA("data/" + name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read test data %s", qPrintable(name));
    QStringList lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith(u'#'))
            lines << line.trimmed();
    return lines;
}

} // namespace

class TestColorScience : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ciede2000_data()
    {
        QTest::addColumn<QString>("pair");
        const QStringList lines = dataLines("ciede2000-sharma2005.txt");
        QCOMPARE(lines.size(), 34);
        for (int i = 0; i < lines.size(); ++i)
            QTest::addRow("pair %d", i + 1) << lines[i];
    }

    // To the four decimals of the published table, either way round.
    void ciede2000()
    {
        QFETCH(QString, pair);
        const QStringList v = pair.split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(v.size(), 7);
        const Lab first{v[0].toDouble(), v[1].toDouble(), v[2].toDouble()};
        const Lab second{v[3].toDouble(), v[4].toDouble(), v[5].toDouble()};
        const double expected = v[6].toDouble();
        for (const double got : {Ciede2000(first, second), Ciede2000(second, first)})
            QVERIFY2(std::abs(got - expected) < 0.00005,
                     qPrintable(QStringLiteral("ΔE00 %1, published %2")
                                    .arg(got, 0, 'f', 6)
                                    .arg(expected, 0, 'f', 4)));
    }

    // The matrices as the paper's table gives them.
    void machadoMatrices()
    {
        const QStringList lines = dataLines("machado2009.txt");
        QCOMPARE(lines.size(), 12);
        const std::array kinds
            = {Deficiency::Protanopia, Deficiency::Deuteranopia, Deficiency::Tritanopia};
        for (int k = 0; k < 3; ++k)
            for (int row = 0; row < 3; ++row) {
                const QStringList v = lines[k * 4 + 1 + row].split(u' ');
                for (int col = 0; col < 3; ++col)
                    QVERIFY2(MachadoMatrix(kinds[k])[row][col] == v[col].toDouble(),
                             qPrintable(lines[k * 4] + QStringLiteral(" row %1").arg(row + 1)));
            }
    }

    // Rows tagged with what is computed: what the code gives, and what is published or
    // otherwise known of it.
    void conversions_data()
    {
        QTest::addColumn<QString>("got");
        QTest::addColumn<QString>("expected");

        // Protanopia, deuteranopia, tritanopia. Each row of each matrix sums to 1: greys are
        // seen as they are.
        const auto seen = [](const char *rrggbb) {
            QStringList got;
            for (const Deficiency d :
                 {Deficiency::Protanopia, Deficiency::Deuteranopia, Deficiency::Tritanopia})
                got << html(SimulateDeficiency(hex(rrggbb), d));
            return got.join(u' ');
        };
        QTest::newRow("#FF0000 seen") << seen("FF0000") << "#6D5F00 #A39000 #FF000F";
        QTest::newRow("#0000FF seen") << seen("0000FF") << "#0059FF #003DFB #006B96";
        QTest::newRow("#4682B4 seen") << seen("4682B4") << "#6C83B6 #5D78B3 #008E93";
        QTest::newRow("#808080 seen") << seen("808080") << "#808080 #808080 #808080";

        // The ratio, then the levels passed (AA and AAA, each for normal and for large text).
        // WCAG compares the ratio unrounded: 4.50 shown may fail.
        const auto judged = [](double ratio) {
            const ContrastVerdicts v = JudgeContrast(ratio);
            QStringList got = {QString::number(ratio, 'f', 2)};
            for (const auto &[passed, level] : {std::pair{v.aaNormal, "AA"},
                                                {v.aaLarge, "AA-large"},
                                                {v.aaaNormal, "AAA"},
                                                {v.aaaLarge, "AAA-large"}})
                if (passed)
                    got << level;
            return got.join(u' ');
        };
        const auto contrast = [&](const char *fore, const char *back) {
            return judged(ContrastRatio(hex(fore), hex(back)));
        };
        const QString all = "AA AA-large AAA AAA-large";
        QTest::newRow("#FFFFFF on #000000") << contrast("FFFFFF", "000000") << "21.00 " + all;
        QTest::newRow("#000000 on #FFFFFF") << contrast("000000", "FFFFFF") << "21.00 " + all;
        QTest::newRow("#777777 on #FFFFFF") << contrast("777777", "FFFFFF") << "4.48 AA-large";
        QTest::newRow("#767676 on #FFFFFF")
            << contrast("767676", "FFFFFF") << "4.54 AA AA-large AAA-large";
        QTest::newRow("#595959 on #FFFFFF") << contrast("595959", "FFFFFF") << "7.00 " + all;
        QTest::newRow("#4682B4 on #000000")
            << contrast("4682B4", "000000") << "5.11 AA AA-large AAA-large";
        QTest::newRow("4.4999") << judged(4.4999) << "4.50 AA-large";
        QTest::newRow("4.5") << judged(4.5) << "4.50 AA AA-large AAA-large";
        QTest::newRow("6.9999") << judged(6.9999) << "7.00 AA AA-large AAA-large";
        QTest::newRow("2.9999") << judged(2.9999) << "3.00";

        // The web-platform tests of CSS Color 4 (oklch-004, oklch-006, oklch-011), and its
        // own example for sRGB red.
        const auto fromOkLch = [](double L, double C, double h) {
            const Rgb rgb = OkLchToRgb({L, C, h});
            return QStringLiteral("rgb(%1% %2% %3%)")
                .arg(rgb.r * 100, 0, 'f', 3)
                .arg(rgb.g * 100, 0, 'f', 3)
                .arg(rgb.b * 100, 0, 'f', 3);
        };
        const auto toOkLch = [](const char *rrggbb) {
            const OkLch l = ToOkLch(hex(rrggbb));
            return QStringLiteral("oklch(%1% %2 %3)")
                .arg(l.L * 100, 0, 'f', 3)
                .arg(l.C, 0, 'f', 4)
                .arg(l.h, 0, 'f', 2);
        };
        QTest::newRow("oklch(50% 0.2 0)")
            << fromOkLch(0.5, 0.2, 0) << "rgb(70.492% 2.351% 37.073%)";
        QTest::newRow("oklch(80% 0.15 160)")
            << fromOkLch(0.8, 0.15, 160) << "rgb(32.022% 85.805% 61.147%)";
        QTest::newRow("#008000 as oklch") << toOkLch("008000") << "oklch(51.975% 0.1769 142.50)";
        QTest::newRow("#FF0000 as oklch") << toOkLch("FF0000") << "oklch(62.796% 0.2577 29.23)";

        // CIE L*a*b* relative to D65 as Lindbloom's tables give it, to the first decimal: his
        // rounded sRGB matrix differs from CSS's exact one in the second.
        const auto lab = [](const char *rrggbb) {
            const Lab l = ToLab(hex(rrggbb));
            return QStringLiteral("%1 %2 %3")
                .arg(l.L, 0, 'f', 1)
                .arg(l.a, 0, 'f', 1)
                .arg(l.b, 0, 'f', 1);
        };
        QTest::newRow("#FFFFFF as Lab") << lab("FFFFFF") << "100.0 0.0 0.0";
        QTest::newRow("#FF0000 as Lab") << lab("FF0000") << "53.2 80.1 67.2";
        QTest::newRow("#0000FF as Lab") << lab("0000FF") << "32.3 79.2 -107.9";

        // The nearest of the 140 names, and how near.
        const auto nearest = [](const char *rrggbb) {
            const NearestNamed n = NearestNamedColor(hex(rrggbb));
            return QString::fromUtf8(n.color->name.data(), qsizetype(n.color->name.size()))
                + (n.exact ? QStringLiteral(" exact")
                           : QStringLiteral(" %1").arg(n.deltaE, 0, 'f', 1));
        };
        QTest::newRow("#4682B4 nearest") << nearest("4682B4") << "steelblue exact";
        // The first of the two names in code order.
        QTest::newRow("#00FFFF nearest") << nearest("00FFFF") << "aqua exact";
        QTest::newRow("#FE0000 nearest") << nearest("FE0000") << "red 0.2";
        // rebeccapurple is not among the 140.
        QTest::newRow("#663399 nearest") << nearest("663399") << "darkslateblue 7.3";
    }

    void conversions()
    {
        QFETCH(QString, got);
        QFETCH(QString, expected);
        QCOMPARE(got, expected);
    }

    // Every colour of the cube comes back from HSL, HSV, CMYK and OKLCH as itself.
    void roundTripsOverTheCube()
    {
        for (ColorValue c = 0; c <= White; ++c) {
            const Rgb rgb = ToRgb(c);
            for (const auto &[name, back] : {std::pair{"hsl", HslToRgb(RgbToHsl(rgb))},
                                             {"hsv", HsvToRgb(RgbToHsv(rgb))},
                                             {"cmyk", CmykToRgb(RgbToCmyk(rgb))},
                                             {"oklch", OkLchToRgb(ToOkLch(c))}})
                if (FromRgb(back) != c)
                    QFAIL(qPrintable(QString::fromLatin1(name) + " misses " + html(c)));
        }
    }

    // Extended to negative values by symmetry, as CSS Color 4 does, for colours outside sRGB.
    void transferFunctionIsOdd()
    {
        QCOMPARE(SrgbToLinear(-0.5), -SrgbToLinear(0.5));
        QCOMPARE(LinearToSrgb(-0.2), -LinearToSrgb(0.2));
    }
};

QTEST_APPLESS_MAIN(TestColorScience)
#include "tst_colorscience.moc"
