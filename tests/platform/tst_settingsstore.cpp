#include "platform/settingsstore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace settings;

namespace {

QByteArray contentsOf(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file gets a time of its own: QSettings goes on using what it read before from a
// file whose size and time have not changed.
bool writeFile(const QString &fileName, const QByteArray &contents)
{
    static QDateTime time(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    time = time.addSecs(1);
    QDir().mkpath(QFileInfo(fileName).path());
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size()
        && file.setFileTime(time, QFileDevice::FileModificationTime);
}

Values defaults()
{
    Values values {};
    values.favorites.fill(colorcodes::White);
    return values;
}

Values sample()
{
    Values values {};
    values.favorites = { 0, 255, 65280, 16711680, 16744448, 11829830, 1, 16777214, 16777215 };
    values.formtop = 1;
    values.chr = 1;
    return values;
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT

public:
    explicit TestSettingsStore(const QString &configHome)
        : folder_(configHome + QStringLiteral("/Chromalynx")),
          file_(folder_ + QStringLiteral("/Chromalynx.ini"))
    {
    }

private Q_SLOTS:
    void cleanup() { QDir(folder_).removeRecursively(); }

    void savedValuesReadBackAsIni()
    {
        {
            platform::SettingsStore store;
            QCOMPARE(store.fileName(), file_);
            QCOMPARE(Load(store), defaults());
            Save(store, sample());
        }
        QCOMPARE(contentsOf(file_),
                 QByteArray("[condition]\nchar=1\ncolornamelist=0\nformtop=1\n\n"
                            "[favorite]\n1=0\n2=255\n3=65280\n4=16711680\n5=16744448\n"
                            "6=11829830\n7=1\n8=16777214\n9=16777215\n"));
        platform::SettingsStore store;
        QCOMPARE(Load(store), sample());
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("line"); // under [favorite]
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");

        QTest::newRow("1=255") << QByteArray("1=255") << true << "255";
        QTest::newRow("1=") << QByteArray("1=") << true << "";
        QTest::newRow("1=\"1,2\"") << QByteArray("1=\"1,2\"") << true << "1,2";
        QTest::newRow("1=1,2") << QByteArray("1=1,2") << false << "";
        QTest::newRow("1=@Variant")
            << QByteArray("1=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)") << false << "";
        QTest::newRow("2=255") << QByteArray("2=255") << false << "";
    }

    void read()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, found);
        QFETCH(QString, text);

        QVERIFY(writeFile(file_, "[favorite]\n" + line + "\n"));
        platform::SettingsStore store;
        const std::optional<std::string> read = store.read("favorite", "1");
        QCOMPARE(read.has_value(), found);
        if (found)
            QCOMPARE(QString::fromStdString(*read), text);
    }

    void damagedFileIsKept()
    {
        const QByteArray damaged = "[favorite]\n5=255\n[condition\nformtop=1\n";
        QVERIFY(writeFile(file_, damaged));
        {
            platform::SettingsStore store;
            Load(store);
            Save(store, sample());
        }
        QCOMPARE(contentsOf(file_ + ".damaged"), damaged);
        platform::SettingsStore store;
        QCOMPARE(Load(store), sample());
    }

    void folderInPlaceOfFile()
    {
        QVERIFY(QDir().mkpath(file_));
        platform::SettingsStore store;
        QCOMPARE(Load(store), defaults());
        Save(store, sample());
        QVERIFY(QFileInfo(file_).isDir());
    }

private:
    QString folder_;
    QString file_;
};

int main(int argc, char *argv[])
{
    // QSettings looks the configuration folder up once per process, so the private one has
    // to be in place before the first store is made.
    QTemporaryDir configHome;
    if (!configHome.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QCoreApplication app(argc, argv);
    TestSettingsStore test(configHome.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsstore.moc"
