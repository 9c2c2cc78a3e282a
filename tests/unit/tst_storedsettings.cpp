#include "settings/storedsettings.h"

#include <QTest>

using namespace settings;

class TestStoredSettings : public QObject {
    Q_OBJECT

    // Logs every write ("favorite/1=255") and the flush; reads find nothing.
    struct FakeStore final : Store {
        QStringList log;

        std::optional<std::string> read(std::string_view, std::string_view) override { return {}; }

        void write(std::string_view section, std::string_view key, std::string_view text) override
        {
            log << QString::fromStdString(std::string(section) + '/' + std::string(key) + '='
                                          + std::string(text));
        }

        void flush() override { log << QStringLiteral("flush"); }
    };

private Q_SLOTS:
    void saveWritesEveryKeyInOrderThenFlushes()
    {
        FakeStore store;
        Save(store,
             {{0, 255, 65280, 16711680, 16744448, 11829830, 1, 16777214, 16777215}, 1, 2, 0});
        QCOMPARE(store.log.join(' '),
                 "favorite/1=0 favorite/2=255 favorite/3=65280 favorite/4=16711680 "
                 "favorite/5=16744448 favorite/6=11829830 favorite/7=1 favorite/8=16777214 "
                 "favorite/9=16777215 condition/formtop=1 condition/colornamelist=2 "
                 "condition/char=0 flush");
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

QTEST_APPLESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
