#include "colorcodes/colorcodes.h"
#include "colorcodes/namedcolors.h"

#include <QTest>

#include <set>

using namespace colorcodes;

namespace {

QString q(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

using Order = const NamedColor &(*)(std::size_t);
const Order byCode = &NamedColorByCode;
const Order byName = &NamedColorByName;

int positionOf(std::string_view name, Order order) // 0-based, -1 when missing
{
    for (std::size_t i = 0; i < NamedColorCount; ++i) {
        if (order(i).name == name)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

class TestColorCodes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // --- Colour value and code texts ---------------------------------------------------

    void splitColor_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("vb");

        QTest::newRow("0") << 0 << 0 << 0 << 0 << "#000000" << "&H00000000";
        QTest::newRow("16777215") << 16777215 << 255 << 255 << 255 << "#FFFFFF" << "&H00FFFFFF";
        QTest::newRow("255") << 255 << 255 << 0 << 0 << "#FF0000" << "&H000000FF";
        QTest::newRow("65280") << 65280 << 0 << 255 << 0 << "#00FF00" << "&H0000FF00";
        QTest::newRow("16711680") << 16711680 << 0 << 0 << 255 << "#0000FF" << "&H00FF0000";
        QTest::newRow("10 16 0") << MakeColor(10, 16, 0) << 10 << 16 << 0 << "#0A1000"
                                 << "&H0000100A";
        QTest::newRow("5649426") << 5649426 << 18 << 52 << 86 << "#123456" << "&H00563412";
        QTest::newRow("2131899478") << 2131899478 << 86 << 52 << 18 << "#563412" << "&H00123456";
        QTest::newRow("-1") << -1 << 255 << 255 << 255 << "#FFFFFF" << "&H00FFFFFF";
        QTest::newRow("-16777216") << -16777216 << 0 << 0 << 0 << "#000000" << "&H00000000";
    }

    void splitColor()
    {
        QFETCH(int, value);
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        QFETCH(QString, html);
        QFETCH(QString, vb);

        const ColorCodes codes = SplitColor(value);
        QCOMPARE(codes.R, r);
        QCOMPARE(codes.G, g);
        QCOMPARE(codes.B, b);
        QCOMPARE(q(codes.HTMLCode), html);
        QCOMPARE(q(codes.VBCode), vb);
    }

    void twoDigitHexReadsBack()
    {
        for (int c = 0; c <= 255; ++c) {
            const std::string text = TwoDigitHex(c);
            QVERIFY2(text.size() == 2 && HexToLong(text) == c,
                     qPrintable(QStringLiteral("%1 was written \"%2\" and read back as %3")
                                    .arg(c)
                                    .arg(q(text))
                                    .arg(HexToLong(text))));
        }
    }

    void hexToLong_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");

        QTest::newRow("FF") << "FF" << 255;
        QTest::newRow("0A") << "0A" << 10;
        QTest::newRow("80") << "80" << 128;
        QTest::newRow("F") << "F" << 240;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("ff") << "ff" << 0;
        QTest::newRow("1f") << "1f" << 16;
        QTest::newRow("G1") << "G1" << 1;
        QTest::newRow("FFx") << "FFx" << 255;
        QTest::newRow("80FFFF") << "80FFFF" << 128;
    }

    void hexToLong()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(HexToLong(text.toStdString()), value);
    }

    // What a number field makes of pasted text.
    void componentText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("digitRun");

        QTest::newRow("empty") << "" << 0 << false;
        QTest::newRow("abc") << "abc" << 0 << false;
        QTest::newRow("-5") << "-5" << 0 << false;
        QTest::newRow("12.5") << "12.5" << 12 << false;
        QTest::newRow(" 200") << " 200" << 200 << false;
        QTest::newRow("007") << "007" << 7 << true;
        QTest::newRow("255") << "255" << 255 << true;
        QTest::newRow("256") << "256" << 256 << true;
        QTest::newRow("forty digits") << QString(40, QLatin1Char('9')) << 256 << true;
    }

    void componentText()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(bool, digitRun);
        QCOMPARE(ComponentTextValue(text.toStdString()), value);
        QCOMPARE(IsDigitRun(text.toStdString()), digitRun);
    }

    void normalizeCodeEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("code");

        QTest::newRow("#F") << "#F" << "F00000";
        QTest::newRow("#FF") << "#FF" << "FF0000";
        QTest::newRow("#FFFF") << "#FFFF" << "FFFF00";
        QTest::newRow("#12345") << "#12345" << "123450";
        QTest::newRow("#1234567") << "#1234567" << "123456";
        QTest::newRow("#") << "#" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("00FF00") << "00FF00" << "00FF00";
        QTest::newRow("ff8000") << "ff8000" << "FF8000";
        QTest::newRow("&H00FF8000") << "&H00FF8000" << "&H00FF";
        QTest::newRow("##12") << "##12" << "#12000";
    }

    void normalizeCodeEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QString, code);
        QCOMPARE(q(NormalizeCodeEntry(typed.toStdString())), code);
    }

    // --- Named colour catalogue --------------------------------------------------------

    void entryAt_data()
    {
        QTest::addColumn<bool>("codeOrder");
        QTest::addColumn<int>("position"); // 1-based, as the user counts
        QTest::addColumn<QString>("entry");

        QTest::newRow("code 1") << true << 1 << "#000000 black";
        QTest::newRow("code 109") << true << 109 << "#FDF5E6 oldlace";
        QTest::newRow("code 110") << true << 110 << "#FF0000 red";
        QTest::newRow("code 111") << true << 111 << "#FF00FF fuchsia";
        QTest::newRow("code 140") << true << 140 << "#FFFFFF white";
        QTest::newRow("name 1") << false << 1 << "aliceblue #F0F8FF";
        QTest::newRow("name 140") << false << 140 << "yellowgreen #9ACD32";
    }

    void entryAt()
    {
        QFETCH(bool, codeOrder);
        QFETCH(int, position);
        QFETCH(QString, entry);

        const auto i = static_cast<std::size_t>(position - 1);
        QCOMPARE(q(codeOrder ? CodeOrderEntry(byCode(i)) : NameOrderEntry(byName(i))), entry);
    }

    void distance_data()
    {
        QTest::addColumn<bool>("codeOrder");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("adjacent"); // else more than one place apart

        QTest::newRow("code aqua cyan") << true << "aqua" << "cyan" << true;
        QTest::newRow("code fuchsia magenta") << true << "fuchsia" << "magenta" << true;
        QTest::newRow("name aqua cyan") << false << "aqua" << "cyan" << false;
        QTest::newRow("name fuchsia magenta") << false << "fuchsia" << "magenta" << false;
        QTest::newRow("name mediumvioletred midnightblue") << false << "mediumvioletred"
                                                           << "midnightblue" << true;
        QTest::newRow("name midnightblue mintcream") << false << "midnightblue"
                                                     << "mintcream" << true;
        QTest::newRow("name white whitesmoke") << false << "white" << "whitesmoke" << true;
    }

    void distance()
    {
        QFETCH(bool, codeOrder);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, adjacent);

        const Order order = codeOrder ? byCode : byName;
        const int from = positionOf(first.toStdString(), order);
        const int to = positionOf(second.toStdString(), order);
        QVERIFY2(from >= 0 && to >= 0, "a name is missing");
        QVERIFY2(adjacent ? to == from + 1 : to > from + 1,
                 qPrintable(QStringLiteral("at %1 and %2").arg(from + 1).arg(to + 1)));
    }

    void wholeCatalogue()
    {
        std::set<std::string_view> codes;
        QStringList grey;
        for (std::size_t i = 0; i < NamedColorCount; ++i) {
            const NamedColor &color = byCode(i);
            const QString entry = q(CodeOrderEntry(color));
            codes.insert(color.code);
            if (color.name.find("grey") != std::string_view::npos)
                grey << entry;

            QVERIFY2(color.name.size() >= 3 && color.name.size() <= 20, qPrintable(entry));
            for (char c : color.name)
                QVERIFY2(c >= 'a' && c <= 'z', qPrintable(entry));
            QVERIFY2(color.code.size() == 7 && color.code.front() == '#', qPrintable(entry));
            for (char c : color.code.substr(1))
                QVERIFY2((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'), qPrintable(entry));

            // Upper-case hexadecimal text of fixed length sorts as its number does.
            if (i > 0) {
                const NamedColor &before = byCode(i - 1);
                QVERIFY2(before.code < color.code
                             || (before.code == color.code && before.name < color.name),
                         qPrintable(entry + QStringLiteral(" after ") + q(CodeOrderEntry(before))));
                QVERIFY2(byName(i - 1).name < byName(i).name, qPrintable(q(byName(i).name)));
            }
            // With the names strictly ascending, this makes the name order hold every
            // entry of the code order exactly once.
            const int there = positionOf(color.name, byName);
            QVERIFY2(there >= 0 && byName(static_cast<std::size_t>(there)).code == color.code,
                     qPrintable(entry));
        }
        QCOMPARE(codes.size(), std::size_t { 138 });
        QCOMPARE(grey, QStringList { QStringLiteral("#D3D3D3 lightgrey") });
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, byCode(NamedColorCount));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, byName(NamedColorCount));
    }
};

QTEST_APPLESS_MAIN(TestColorCodes)
#include "tst_colorcodes.moc"
