#include "platform/store/settingsfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace settings;

namespace {

constexpr colorcodes::ColorValue W = colorcodes::White;
const Values Changed = {{0, 255, 65280, 16711680, 16744448, 11829830, 1, 16777214, W}, 1, 1, 0};

QByteArray contentsOf(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeFile(const QString &fileName, const QByteArray &contents)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

std::string native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// "file", "link", "folder", "fifo", "device" or "missing": what stands at a name.
QString kindOf(const QString &path)
{
    struct stat info { };
    if (::lstat(native(path).c_str(), &info) != 0)
        return QStringLiteral("missing");
    static const QMap<mode_t, QString> kinds = {{S_IFLNK, "link"},
                                                {S_IFDIR, "folder"},
                                                {S_IFIFO, "fifo"},
                                                {S_IFCHR, "device"},
                                                {S_IFREG, "file"}};
    return kinds.value(info.st_mode & S_IFMT, QStringLiteral("other"));
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A damaged line costs its own key: the keys after it, and the keys of others, keep
    // their texts; the damaged file is kept beside the new one, once.
    void damagedValue_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("readAround");
        for (const char *line : {"2=\"abc", "[condition"})
            QTest::newRow(line) << QByteArray(line) << true;
        QTest::newRow("2=abc") << QByteArray("2=abc") << false;
    }

    void damagedValue()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, readAround);
        const QTemporaryDir folder;
        const QString file = folder.filePath("Chromalynx.ini");
        const QByteArray old = "[favorite]\n1=255\n" + line
            + "\n3=65280\n9=0\n"
              "[condition]\ncolornamelist=1\nwidth=17\n";
        QVERIFY(writeFile(file, old));
        QVERIFY(writeFile(file + ".damaged", "an older one"));

        platform::SettingsFile store(native(file));
        const Values loaded = Load(store);
        QVERIFY((loaded == Values{{255, W, 65280, W, W, W, W, W, 0}, 0, 1, 0}));
        Save(store, loaded);
        QVERIFY(store.keptAll());
        QCOMPARE(contentsOf(file),
                 "[condition]\nchar=0\ncolornamelist=1\nformtop=0\nwidth=17\n\n[favorite]\n"
                 "1=255\n2=16777215\n3=65280\n4=16777215\n5=16777215\n6=16777215\n7=16777215\n"
                 "8=16777215\n9=0\n");
        QCOMPARE(contentsOf(file + ".damaged"), readAround ? old : "an older one");
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            QStringList({"Chromalynx.ini", "Chromalynx.ini.damaged"}));
    }

    // Rows tagged with what stands at the file's name, made by steps on names in the row's
    // folder: "file:n", "folder:n", "fifo:n", "device:n", "link:n>to", and "theirs:n", which
    // gives a folder to another user. The values are written through a regular file, nothing,
    // or a link that ends at one of those in a folder of ours; anything else stays as it is
    // and the values that could not be kept are reported.
    void placeOfTheFile_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("stays"); // "kind name" left in place, or "" where written

        const QString ini = "s.ini", link = "link:s.ini>";
        QTest::newRow("missing") << "" << ini << "";
        QTest::newRow("file") << "file:s.ini" << ini << "";
        QTest::newRow("link to a file") << "file:t " + link + "t" << ini << "";
        QTest::newRow("dangling link") << link + "t" << ini << "";
        QTest::newRow("folder") << "folder:s.ini" << ini << "folder s.ini";
        QTest::newRow("fifo") << "fifo:s.ini" << ini << "fifo s.ini";
        QTest::newRow("link to a device") << "device:t " + link + "t" << ini << "device t";
        QTest::newRow("link loop") << link + "s.ini" << ini << "link s.ini";
        QTest::newRow("link into a folder of another user") << "folder:theirs file:theirs/t " + link
                + "theirs/t theirs:theirs" << ini << "file theirs/t";
        QTest::newRow("a file where the folder belongs") << "file:t"
                                                         << "t/s.ini"
                                                         << "file t";
    }

    void placeOfTheFile()
    {
        QFETCH(QString, steps);
        QFETCH(QString, file);
        QFETCH(QString, stays);
        const QTemporaryDir dir;
        const QString folder = dir.path();
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            const QString kind = step.section(u':', 0, 0);
            const std::string name
                = native(folder + '/' + step.section(u':', 1).section(u'>', 0, 0));
            bool made = true;
            if (kind == "file")
                made = writeFile(QFile::decodeName(name.c_str()), "");
            else if (kind == "folder")
                made = QDir().mkpath(QFile::decodeName(name.c_str()));
            else if (kind == "fifo")
                made = ::mkfifo(name.c_str(), 0600) == 0;
            else if (kind == "link")
                made = ::symlink(native(step.section(u'>', 1)).c_str(), name.c_str()) == 0;
            // The null device's numbers, on a node of our own: never a system device.
            else if (kind == "device" && ::mknod(name.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                QSKIP("making a device node needs root");
            else if (kind == "theirs" && ::chown(name.c_str(), ::geteuid() + 1, ::getegid()) != 0)
                QSKIP("giving a folder away needs root");
            QVERIFY2(made, qPrintable(step));
        }

        {
            platform::SettingsFile store(native(folder + '/' + file));
            Load(store);
            Save(store, Changed);
            QCOMPARE(store.keptAll(), stays.isEmpty());
        }
        platform::SettingsFile again(native(folder + '/' + file));
        const Values loaded = Load(again);
        if (stays.isEmpty()) {
            QVERIFY(loaded == Changed);
            QCOMPARE(kindOf(folder + '/' + file), steps.contains("link:" + file) ? "link" : "file");
        } else {
            QVERIFY((loaded == Values{{W, W, W, W, W, W, W, W, W}}));
            const QString left = folder + '/' + stays.section(u' ', 1);
            QCOMPARE(kindOf(left), stays.section(u' ', 0, 0));
            if (kindOf(left) == "file")
                QCOMPARE(contentsOf(left), "");
        }
    }

    // An unreadable file stays as it was, and the values of the run are reported lost only
    // when they differ from what the store held.
    void unwritable_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::newRow("unchanged") << false;
        QTest::newRow("changed") << true;
    }

    void unwritable()
    {
        QFETCH(bool, changed);
        if (::geteuid() == 0)
            QSKIP("root reads and writes anything; tst_settingsstore_unprivileged runs this");
        const QTemporaryDir folder;
        const QString file = folder.filePath("Chromalynx.ini");
        QVERIFY(writeFile(file, "[favorite]\n1=255\n"));
        QVERIFY(::chmod(native(file).c_str(), 0) == 0);
        platform::SettingsFile store(native(file));
        Values values = Load(store);
        if (changed)
            values.favorites[3] = 0;
        Save(store, values);
        ::chmod(native(file).c_str(), 0600);
        QCOMPARE(store.keptAll(), !changed);
        QCOMPARE(contentsOf(file), "[favorite]\n1=255\n");
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
