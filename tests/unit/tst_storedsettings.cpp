#include "settings/storedsettings.h"

#include <QTest>

#include <map>

using namespace settings;

namespace {

// An in-memory store that logs every call: "read favorite/1", "write favorite/1=255",
// "flush".
class FakeStore final : public Store {
public:
    std::map<std::string, std::string> texts;
    QStringList log;

    std::optional<std::string> read(std::string_view section, std::string_view key) override
    {
        const std::string path = pathOf(section, key);
        log << QStringLiteral("read ") + QString::fromStdString(path);
        const auto found = texts.find(path);
        return found == texts.end() ? std::nullopt : std::optional(found->second);
    }

    void write(std::string_view section, std::string_view key, std::string_view text) override
    {
        const std::string path = pathOf(section, key);
        texts[path] = std::string(text);
        log << QStringLiteral("write %1=%2")
                   .arg(QString::fromStdString(path), QString::fromStdString(texts[path]));
    }

    void flush() override { log << QStringLiteral("flush"); }

private:
    static std::string pathOf(std::string_view section, std::string_view key)
    {
        return std::string(section) + '/' + std::string(key);
    }
};

const QStringList KeysInOrder = {
    "favorite/1",
    "favorite/2",
    "favorite/3",
    "favorite/4",
    "favorite/5",
    "favorite/6",
    "favorite/7",
    "favorite/8",
    "favorite/9",
    "condition/formtop",
    "condition/colornamelist",
    "condition/char",
};

Values defaults()
{
    Values values {};
    values.favorites.fill(colorcodes::White);
    return values;
}

} // namespace

class TestStoredSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyStoreGivesDefaultsAndWritesThemBack()
    {
        FakeStore store;
        QCOMPARE(Load(store), defaults());
        Save(store, defaults());

        QStringList expected;
        for (const QString &key : KeysInOrder)
            expected << QStringLiteral("read ") + key;
        for (qsizetype i = 0; i < KeysInOrder.size(); ++i)
            expected << QStringLiteral("write %1=%2").arg(KeysInOrder[i], i < 9 ? "16777215" : "0");
        expected << QStringLiteral("flush");
        QCOMPARE(store.log, expected);
    }

    void savedValuesLoadBack()
    {
        Values values {};
        values.favorites = { 0, 255, 65280, 16711680, 16744448, 11829830, 1, 16777214, 16777215 };
        values.formtop = 1;
        values.chr = 1;

        FakeStore store;
        Save(store, values);
        QCOMPARE(QString::fromStdString(store.texts["favorite/5"]), QStringLiteral("16744448"));
        QCOMPARE(Load(store), values);
    }

    void unusableTextGivesThatKeysDefault()
    {
        FakeStore store;
        store.texts = { { "favorite/1", "abc" },
                        { "favorite/5", "255" },
                        { "condition/formtop", "1" },
                        { "condition/char", "7" } };

        Values expected = defaults();
        expected.favorites[4] = 255;
        expected.formtop = 1;
        QCOMPARE(Load(store), expected);
    }

    void parseStoredText_data()
    {
        QTest::addColumn<bool>("checkState"); // a check box's key, else a favourite's
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1: refused

        for (const char *text : { "", "abc", "12x", "1e3", " 5", "5 ", "+5", "-1", "0x10",
                                  "16777216", "99999999999999999999" })
            QTest::addRow("colour '%s'", text) << false << text << -1;
        QTest::newRow("colour '0'") << false << "0" << 0;
        QTest::newRow("colour '255'") << false << "255" << 255;
        QTest::newRow("colour '16777215'") << false << "16777215" << 16777215;
        for (const char *text : { "3", "-1", "255", "65536" })
            QTest::addRow("check '%s'", text) << true << text << -1;
        for (int state : { 0, 1, 2 })
            QTest::addRow("check '%d'", state) << true << QString::number(state) << state;
    }

    void parseStoredText()
    {
        QFETCH(bool, checkState);
        QFETCH(QString, text);
        QFETCH(int, value);

        const std::optional<std::int32_t> parsed
            = ParseStoredText(checkState ? Schema[9] : Schema[0], text.toStdString());
        if (value < 0)
            QVERIFY2(!parsed, qPrintable(QStringLiteral("taken as %1").arg(parsed.value_or(0))));
        else
            QCOMPARE(parsed, std::optional<std::int32_t>(value));
    }
};

QTEST_APPLESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
