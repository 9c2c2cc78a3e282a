#include "settings/storedsettings.h"

#include <QTest>

using namespace settings;

class TestStoredSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
