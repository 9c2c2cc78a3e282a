#include "platform/settingsstore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace settings;

class TestSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;

    // A file of its own for every test: QSettings goes on using what it read of a file whose
    // size and time have not changed.
    QString file() const { return folder_.filePath(QTest::currentTestFunction()); }

    static QByteArray contentsOf(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool writeFile(const QByteArray &contents) const
    {
        QFile file(this->file());
        return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
    }

private Q_SLOTS:
    // Qt rewrites a damaged file with what it could read; the store keeps a copy beside it.
    // The values saved, as a run of the program ends, are what the next run loads.
    void savedOverADamagedFile()
    {
        const QByteArray damaged = "[favorite]\n5=255\n[condition\nformtop=1\n";
        const Values saved
            = {{0, 255, 65280, 16711680, 16744448, 11829830, 1, 16777214, 16777215}, 1, 2, 0};
        QVERIFY(writeFile(damaged));
        {
            platform::SettingsStore store(file());
            Save(store, saved);
        }
        QCOMPARE(contentsOf(file() + ".damaged"), damaged);
        QCOMPARE(contentsOf(file()),
                 "[condition]\nchar=0\ncolornamelist=2\nformtop=1\n\n[favorite]\n1=0\n2=255\n"
                 "3=65280\n4=16711680\n5=16744448\n6=11829830\n7=1\n8=16777214\n9=16777215\n");
        platform::SettingsStore store(file());
        QVERIFY(Load(store) == saved);
    }

    // A text with a comma is a list, an "@Variant" some other type: neither is read. A text
    // read that is no number gives the key's default.
    void readGivesPlainTextsOnly()
    {
        QVERIFY(writeFile(
            "[favorite]\n1=255\n2=\"1,2\"\n3=1,2\n4=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"));
        platform::SettingsStore store(file());
        QStringList read;
        for (const char *key : {"1", "2", "3", "4", "5"})
            read << QString::fromStdString(store.read("favorite", key).value_or("nothing"));
        QCOMPARE(read.join(' '), "255 1,2 nothing nothing nothing");
        QCOMPARE(Load(store).favorites[1], colorcodes::White);
    }

    // A folder where the file belongs: the defaults are read, and saving fails quietly.
    void folderInPlaceOfTheFile()
    {
        constexpr colorcodes::ColorValue W = colorcodes::White;
        QVERIFY(QDir().mkpath(file()));
        platform::SettingsStore store(file());
        QVERIFY((Load(store) == Values{{W, W, W, W, W, W, W, W, W}}));
        Save(store, {});
        QVERIFY(QFileInfo(file()).isDir());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
