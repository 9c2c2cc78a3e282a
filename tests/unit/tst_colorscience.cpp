// Colour spaces, CIEDE2000, contrast and colour-vision simulation against published
// reference values, and round trips over the whole 8-bit sRGB cube.

#include "colorcodes/colorscience.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

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

    void simulateDeficiency_data()
    {
        QTest::addColumn<QString>("seen"); // protanopia, deuteranopia, tritanopia
        QTest::newRow("#FF0000") << "#6D5F00 #A39000 #FF000F";
        QTest::newRow("#0000FF") << "#0059FF #003DFB #006B96";
        QTest::newRow("#4682B4") << "#6C83B6 #5D78B3 #008E93";
        // Each row of each matrix sums to 1: greys are seen as they are.
        QTest::newRow("#808080") << "#808080 #808080 #808080";
        QTest::newRow("#000000") << "#000000 #000000 #000000";
    }

    void simulateDeficiency()
    {
        QFETCH(QString, seen);
        const ColorValue color = hex(QTest::currentDataTag() + 1);
        QStringList got;
        for (const Deficiency d :
             {Deficiency::Protanopia, Deficiency::Deuteranopia, Deficiency::Tritanopia})
            got << html(SimulateDeficiency(color, d));
        QCOMPARE(got.join(u' '), seen);
    }

    // Rows tagged "#fore on #back": the ratio, then the levels passed (AA and AAA, each for
    // normal and for large text). WCAG compares the ratio unrounded: 4.50 shown may fail.
    void contrast_data()
    {
        QTest::addColumn<double>("ratio"); // the ratio itself where the tag names no colours
        QTest::addColumn<QString>("judged");

        const QString all = "AA AA-large AAA AAA-large";
        QTest::newRow("#FFFFFF on #000000") << 0.0 << "21.00 " + all;
        QTest::newRow("#000000 on #FFFFFF") << 0.0 << "21.00 " + all;
        QTest::newRow("#777777 on #FFFFFF") << 0.0 << "4.48 AA-large";
        QTest::newRow("#767676 on #FFFFFF") << 0.0 << "4.54 AA AA-large AAA-large";
        QTest::newRow("#595959 on #FFFFFF") << 0.0 << "7.00 " + all;
        QTest::newRow("#4682B4 on #000000") << 0.0 << "5.11 AA AA-large AAA-large";
        QTest::newRow("#FFFFFF on #FFFFFF") << 0.0 << "1.00";
        QTest::newRow("4.4999") << 4.4999 << "4.50 AA-large";
        QTest::newRow("4.5") << 4.5 << "4.50 AA AA-large AAA-large";
        QTest::newRow("6.9999") << 6.9999 << "7.00 AA AA-large AAA-large";
        QTest::newRow("2.9999") << 2.9999 << "3.00";
    }

    void contrast()
    {
        QFETCH(double, ratio);
        QFETCH(QString, judged);
        const QString tag = QTest::currentDataTag();
        if (tag.startsWith(u'#'))
            ratio = ContrastRatio(hex(qPrintable(tag.mid(1, 6))), hex(qPrintable(tag.mid(12, 6))));
        const ContrastVerdicts v = JudgeContrast(ratio);
        QStringList got = {QString::number(ratio, 'f', 2)};
        for (const auto &[passed, level] : {std::pair{v.aaNormal, "AA"},
                                            {v.aaLarge, "AA-large"},
                                            {v.aaaNormal, "AAA"},
                                            {v.aaaLarge, "AAA-large"}})
            if (passed)
                got << level;
        QCOMPARE(got.join(u' '), judged);
    }

    void references_data()
    {
        QTest::addColumn<QString>("got");
        QTest::addColumn<QString>("published");

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
        // The web-platform tests of CSS Color 4 (oklch-004, oklch-006, oklch-011).
        QTest::newRow("oklch(50% 0.2 0)")
            << fromOkLch(0.5, 0.2, 0) << "rgb(70.492% 2.351% 37.073%)";
        QTest::newRow("oklch(80% 0.15 160)")
            << fromOkLch(0.8, 0.15, 160) << "rgb(32.022% 85.805% 61.147%)";
        QTest::newRow("#008000 as oklch") << toOkLch("008000") << "oklch(51.975% 0.1769 142.50)";
        // CSS Color 4's own example for sRGB red.
        QTest::newRow("#FF0000 as oklch") << toOkLch("FF0000") << "oklch(62.796% 0.2577 29.23)";
    }

    void references()
    {
        QFETCH(QString, got);
        QFETCH(QString, published);
        QCOMPARE(got, published);
    }

    // CIE L*a*b* relative to D65, as Lindbloom's tables give it; his rounded sRGB matrix
    // differs from CSS's exact one in the second decimal.
    void lab_data()
    {
        QTest::addColumn<double>("L");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::newRow("FFFFFF") << 100.0 << 0.0 << 0.0;
        QTest::newRow("000000") << 0.0 << 0.0 << 0.0;
        QTest::newRow("FF0000") << 53.2408 << 80.0925 << 67.2032;
        QTest::newRow("0000FF") << 32.2970 << 79.1875 << -107.8602;
    }

    void lab()
    {
        QFETCH(double, L);
        QFETCH(double, a);
        QFETCH(double, b);
        const Lab got = ToLab(hex(QTest::currentDataTag()));
        QVERIFY2(std::abs(got.L - L) < 0.01 && std::abs(got.a - a) < 0.01
                     && std::abs(got.b - b) < 0.01,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(got.L).arg(got.a).arg(got.b)));
    }

    void nearestNamed_data()
    {
        QTest::addColumn<QString>("nearest");
        QTest::newRow("#4682B4") << "steelblue exact";
        QTest::newRow("#00FFFF") << "aqua exact"; // the first of the two names in code order
        QTest::newRow("#D3D3D3") << "lightgrey exact";
        QTest::newRow("#FE0000") << "red 0.2";
        QTest::newRow("#663399") << "darkslateblue 7.3"; // rebeccapurple is not among the 140
    }

    void nearestNamed()
    {
        QFETCH(QString, nearest);
        const NearestNamed n = NearestNamedColor(hex(QTest::currentDataTag() + 1));
        QVERIFY(n.color);
        QCOMPARE(QString::fromUtf8(n.color->name.data(), static_cast<int>(n.color->name.size()))
                     + (n.exact ? QStringLiteral(" exact")
                                : QStringLiteral(" %1").arg(n.deltaE, 0, 'f', 1)),
                 nearest);
    }

    // The search skips names by their lightness alone; it must find what comparing with every
    // name finds.
    void nearestNamedSkipsNothingItShouldNot()
    {
        std::vector<Lab> names;
        for (std::size_t i = 0; i < NamedColorCount; ++i)
            names.push_back(ToLab(hex(NamedColorByCode(i).code.data() + 1)));
        for (int r = 0; r < 256; r += 15)
            for (int g = 0; g < 256; g += 15)
                for (int b = 0; b < 256; b += 15) {
                    const ColorValue c = MakeColor(r, g, b);
                    double best = 1e9;
                    for (const Lab &name : names)
                        best = std::min(best, Ciede2000(ToLab(c), name));
                    QVERIFY2(std::abs(NearestNamedColor(c).deltaE - best) < 1e-12,
                             qPrintable(html(c)));
                }
    }

    // Every colour of the cube comes back from HSL, HSV, CMYK and OKLCH as itself. The cube
    // is shared out among the processor's cores.
    void roundTripsOverTheCube()
    {
        constexpr std::array names = {"hsl", "hsv", "cmyk", "oklch"};
        using Misses = std::array<ColorValue, names.size()>; // the first miss of each, or -1
        const auto check = [](ColorValue from, ColorValue to, Misses &first) {
            first.fill(-1);
            for (ColorValue c = from; c < to; ++c) {
                const Rgb rgb = ToRgb(c);
                const std::array back = {HslToRgb(RgbToHsl(rgb)), HsvToRgb(RgbToHsv(rgb)),
                                         CmykToRgb(RgbToCmyk(rgb)), OkLchToRgb(ToOkLch(c))};
                for (std::size_t i = 0; i < back.size(); ++i)
                    if (first[i] < 0 && FromRgb(back[i]) != c)
                        first[i] = c;
            }
        };
        const int parts = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 8U));
        std::vector<Misses> misses(static_cast<std::size_t>(parts));
        std::vector<std::thread> workers;
        const int share = (White + 1) / parts + 1;
        for (int i = 0; i < parts; ++i)
            workers.emplace_back(check, i * share, std::min(White + 1, (i + 1) * share),
                                 std::ref(misses[static_cast<std::size_t>(i)]));
        for (std::thread &worker : workers)
            worker.join();
        QStringList missed;
        for (const Misses &part : misses)
            for (std::size_t i = 0; i < names.size(); ++i)
                if (part[i] >= 0)
                    missed << QString::fromLatin1(names[i]) + ' ' + html(part[i]);
        QVERIFY2(missed.isEmpty(), qPrintable("missed: " + missed.join(", ")));
    }

    void transferFunction()
    {
        for (int c = 0; c < 256; ++c) {
            QCOMPARE(ComponentToLinear(c), SrgbToLinear(c / 255.0));
            QVERIFY2(std::lround(LinearToSrgb(ComponentToLinear(c)) * 255) == c,
                     qPrintable(QString::number(c)));
        }
        // Extended to negative values by symmetry, as CSS Color 4 does.
        QCOMPARE(SrgbToLinear(-0.5), -SrgbToLinear(0.5));
        QCOMPARE(LinearToSrgb(-0.2), -LinearToSrgb(0.2));
    }
};

QTEST_APPLESS_MAIN(TestColorScience)
#include "tst_colorscience.moc"
