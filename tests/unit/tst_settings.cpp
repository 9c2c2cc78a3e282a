// The settings library: the INI text of the settings file, and what a stored text means
// for its key.

#include "settings/inifile.h"
#include "settings/storedsettings.h"

#include <QTest>

using namespace settings;

namespace {

// The twelve texts an IniText found, in Schema order, "-" for a missing one.
QString found(const IniText &ini)
{
    QStringList texts;
    for (std::size_t i = 0; i < Schema.size(); ++i)
        texts << (ini.text(i) ? QString::fromStdString(*ini.text(i)) : QStringLiteral("-"));
    return texts.join(' ');
}

IniText parse(const QByteArray &bytes, qsizetype piece = 0)
{
    IniText ini(true);
    if (piece == 0)
        piece = std::max<qsizetype>(bytes.size(), 1);
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        ini.add(std::string_view(bytes.constData() + at, std::min(piece, bytes.size() - at)));
    ini.finish();
    return ini;
}

const std::array<std::string, Schema.size()> Written
    = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "1", "0"};

const QByteArray WrittenFile = "[condition]\nchar=0\ncolornamelist=1\nformtop=0\n\n"
                               "[favorite]\n1=1\n2=2\n3=3\n4=4\n5=5\n6=6\n7=7\n8=8\n9=9\n";

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each file is read whole, then again in pieces of 1, 2 and 7 bytes: a line split over
    // reads must read as one.
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("texts");
        QTest::addColumn<bool>("readAround");

        const QByteArray good = "[favorite]\n1=255\n2=65280\n3=16711680\n"
                                "[condition]\nformtop=1\ncolornamelist=1\nchar=0\n";
        QTest::newRow("good") << good << "255 65280 16711680 - - - - - - 1 1 0" << false;
        // As a Windows editor saves it: a byte-order mark, CRLF line ends, spaces around "=".
        QTest::newRow("byte-order mark, CRLF")
            << QByteArray("\xEF\xBB\xBF[favorite]\r\n1 = 255\r\n2=65280\r\n[condition]\r\n"
                          "colornamelist = 1\r\n")
            << "255 65280 - - - - - - - - 1 -" << false;
        QTest::newRow("byte-order marks of joined files")
            << QByteArray("[favorite]\n1=5\n \xEF\xBB\xBF \xEF\xBB\xBF"
                          "2=6\n\xEF\xBB\xBF[condition]\nchar=1\n")
            << "5 6 - - - - - - - - - 1" << false;
        QTest::newRow("no final newline")
            << QByteArray("[favorite]\n9=5") << "- - - - - - - - 5 - - -" << false;
        QTest::newRow("blanks, comments, quotes")
            << QByteArray("; mine\n  [ favorite ]  \n\t1 = \"255\" \n# x\n2=\"1,2\"\n")
            << "255 1,2 - - - - - - - - - -" << false;

        // A damaged value costs its own key and nothing after it.
        for (const char *damaged : {"\"abc", "abc\\", "a\"b\"c\"", "\"x\\\"", "1\x01", "1\x7f"}) {
            QTest::newRow(damaged) << QByteArray("[favorite]\n1=255\n2=") + damaged
                    + "\n3=65280\n[condition]\ncolornamelist=1\n"
                                   << "255 - 65280 - - - - - - - 1 -" << true;
        }
        QTest::newRow("NUL") << QByteArray("[favorite]\n1=2\0\n2=7\n", 21)
                             << "- 7 - - - - - - - - - -" << true;
        QTest::newRow("no equals sign")
            << QByteArray("[favorite]\n1\n2=7\n") << "- 7 - - - - - - - - - -" << true;
        // A damaged header costs only itself.
        QTest::newRow("unclosed header") << QByteArray("[favorite]\n1=5\n[condition\n2=6\n")
                                         << "5 6 - - - - - - - - - -" << true;
        QTest::newRow("overlong line")
            << QByteArray("[favorite]\n1=") + QByteArray(LongestLine, '7') + "\n2=9\n"
            << "- 9 - - - - - - - - - -" << true;
        QTest::newRow("later damaged copy")
            << QByteArray("[favorite]\n1=5\n1=\"x\n") << "5 - - - - - - - - - - -" << true;
        QTest::newRow("ours in another section")
            << QByteArray("[General]\n1=5\nformtop=1\n") << "- - - - - - - - - - - -" << false;
        QTest::newRow("case matters")
            << QByteArray("[Favorite]\n1=5\n") << "- - - - - - - - - - - -" << false;
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, texts);
        QFETCH(bool, readAround);
        for (qsizetype piece : {0, 1, 2, 7}) {
            const IniText ini = parse(file, piece);
            QVERIFY2(found(ini) == texts,
                     qPrintable(QStringLiteral("in pieces of %1: %2").arg(piece).arg(found(ini))));
            QCOMPARE(ini.readAround(), readAround);
        }
    }

    // The lines of others come back as they stood, after our keys, section by section; a
    // damaged line is left out (the caller keeps the old file for it).
    void rewrite_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("rewritten");

        const QByteArray condition = "char=0\ncolornamelist=1\nformtop=0\n";
        const QByteArray favorite = "1=1\n2=2\n3=3\n4=4\n5=5\n6=6\n7=7\n8=8\n9=9\n";
        QTest::newRow("empty") << QByteArray() << WrittenFile;
        QTest::newRow("ours only") << WrittenFile << WrittenFile;
        QTest::newRow("others") << QByteArray(
            "top=1\n[zeta]\na = \"x,y\"\n[favorite]\n10=3\n5=1\n"
            "[condition]\nwidth=@Variant(\\0)\n[zeta]\nb=2\n[empty]\n")
                                << "top=1\n\n[condition]\n" + condition
                + "width=@Variant(\\0)\n\n[favorite]\n" + favorite
                + "10=3\n\n[zeta]\na = \"x,y\"\nb=2\n";
        QTest::newRow("byte-order mark, CRLF")
            << QByteArray("\xEF\xBB\xBF[favorite]\r\n1 = 5\r\n[zeta]\r\na = 1\r\n")
            << WrittenFile + "\n[zeta]\na = 1\n";
        QTest::newRow("damaged others") << QByteArray("[zeta]\na=\"x\nb=2\nc\\\n[favorite]\n7=\"\n")
                                        << WrittenFile + "\n[zeta]\nb=2\n";
    }

    void rewrite()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, rewritten);
        const std::string text = parse(file).rewrite(Written);
        QCOMPARE(QByteArray::fromStdString(text), rewritten);

        // What is written reads back as written, whole, and rewrites to itself.
        const IniText again = parse(rewritten);
        QCOMPARE(found(again), "1 2 3 4 5 6 7 8 9 0 1 0");
        QVERIFY(!again.readAround());
        QCOMPARE(again.rewrite(Written), text);
    }

    // What the tag's text reads as for a favourite's key, then for a check box's key.
    void parseStoredText_data()
    {
        QTest::addColumn<QString>("values"); // "-": refused, so the key's default applies
        for (const char *text : {"", "12x", " 5", "+5", "-1", "16777216", "99999999999999999999"})
            QTest::newRow(text) << "- -";
        QTest::newRow("2") << "2 2";
        QTest::newRow("3") << "3 -";
        QTest::newRow("16777215") << "16777215 -";
    }

    void parseStoredText()
    {
        QFETCH(QString, values);
        QStringList read;
        for (const Key &key : {Schema[0], Schema[9]}) {
            const auto value = ParseStoredText(key, QTest::currentDataTag());
            read << (value ? QString::number(*value) : QStringLiteral("-"));
        }
        QCOMPARE(read.join(' '), values);
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"
