#include "platform/store/settingsfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
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
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("link");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("folder");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("fifo");
    if (S_ISCHR(info.st_mode))
        return QStringLiteral("device");
    return S_ISREG(info.st_mode) ? QStringLiteral("file") : QStringLiteral("other");
}

// The peak resident memory in KiB since the last resetPeak(), where Linux tells it.
long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// The processor time this process has taken, in milliseconds: what a step costs, whatever
// else the machine is doing.
double cpuMilliseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int Slowdown = 10;
#else
constexpr int Slowdown = 1;
#endif

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;

    // A folder of its own for every test and row.
    QString here() const
    {
        QString name = QString::fromLatin1(QTest::currentTestFunction());
        if (QTest::currentDataTag())
            name += QLatin1Char('-') + QString::fromLatin1(QTest::currentDataTag());
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]")), QStringLiteral("_"));
        const QString path = folder_.filePath(name);
        QDir().mkpath(path);
        return path;
    }

    static Values saveAndLoad(const QString &file, const Values &values, bool *kept = nullptr)
    {
        {
            platform::SettingsFile store(native(file));
            Load(store);
            Save(store, values);
            if (kept)
                *kept = store.keptAll();
        }
        platform::SettingsFile again(native(file));
        return Load(again);
    }

private Q_SLOTS:
    // A damaged line costs its own key: the keys after it, and the keys of others, keep
    // their texts; the damaged file is kept beside the new one, once.
    void damagedValue_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("readAround");
        for (const char *line : {"2=\"abc", "2=abc\\", "2=1\x01", "[condition", "junk"})
            QTest::newRow(line) << QByteArray(line) << true;
        QTest::newRow("2=abc") << QByteArray("2=abc") << false;
    }

    void damagedValue()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, readAround);
        const QString file = here() + "/Chromalynx.ini";
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
        QCOMPARE(QDir(here()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 QStringList({"Chromalynx.ini", "Chromalynx.ini.damaged"}));
    }

    // What stands at the file's name decides whether the values are written: a regular file,
    // nothing, or a link that ends at one of those in a folder of ours. Anything else stays
    // as it is, and the values that could not be kept are reported.
    void placeOfTheFile_data()
    {
        QTest::addColumn<QString>("written"); // "yes", or the kind of thing left in place
        QTest::newRow("missing") << "yes";
        QTest::newRow("missing folder") << "yes";
        QTest::newRow("file") << "yes";
        QTest::newRow("link to a file") << "yes";
        QTest::newRow("link to a link to a file") << "yes";
        QTest::newRow("dangling link") << "yes";
        QTest::newRow("folder") << "folder";
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("link to a fifo") << "fifo";
        QTest::newRow("link to a folder") << "folder";
        QTest::newRow("link to a device") << "device";
        QTest::newRow("link loop") << "link";
        QTest::newRow("link into a folder of another user") << "file";
        QTest::newRow("a file where the folder belongs") << "file";
    }

    void placeOfTheFile()
    {
        QFETCH(QString, written);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const QString folder = here();
        QString file = folder + "/Chromalynx.ini";
        QString target = folder + "/target"; // where a link leads, and what must stay
        const auto link = [&](const QString &to) {
            return ::symlink(native(to).c_str(), native(file).c_str()) == 0;
        };
        if (tag == "missing folder") {
            file = folder + "/new/Chromalynx.ini";
        } else if (tag == "file") {
            QVERIFY(writeFile(file, "[favorite]\n1=5\n"));
        } else if (tag == "link to a file") {
            QVERIFY(writeFile(target, "[favorite]\n1=5\n") && link("target"));
        } else if (tag == "link to a link to a file") {
            QVERIFY(writeFile(target, "") && ::symlink("target", native(folder + "/l").c_str()) == 0
                    && link(folder + "/l"));
        } else if (tag == "dangling link") {
            QVERIFY(link("target"));
        } else if (tag == "folder") {
            QVERIFY(QDir().mkpath(file));
            target = file;
        } else if (tag == "fifo") {
            QVERIFY(::mkfifo(native(file).c_str(), 0600) == 0);
            target = file;
        } else if (tag == "link to a fifo") {
            QVERIFY(::mkfifo(native(target).c_str(), 0600) == 0 && link(target));
        } else if (tag == "link to a folder") {
            QVERIFY(QDir().mkpath(target) && link(target));
        } else if (tag == "link to a device") {
            // The null device's numbers, on a node of our own: never a system device.
            if (::mknod(native(target).c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                QSKIP("making a device node needs root");
            QVERIFY(link(target));
        } else if (tag == "link loop") {
            QVERIFY(link("Chromalynx.ini"));
            target = file;
        } else if (tag == "link into a folder of another user") {
            const QString theirs = folder + "/theirs";
            target = theirs + "/t.ini";
            QVERIFY(QDir().mkpath(theirs) && writeFile(target, "") && link(target));
            if (::chown(native(theirs).c_str(), ::geteuid() + 1, ::getegid()) != 0)
                QSKIP("giving a folder away needs root");
        } else if (tag == "a file where the folder belongs") {
            target = folder + "/config";
            QVERIFY(writeFile(target, ""));
            file = target + "/Chromalynx.ini";
        }

        bool kept = false;
        const Values loaded = saveAndLoad(file, Changed, &kept);
        QCOMPARE(kept, written == "yes");
        if (written == "yes") {
            QVERIFY(loaded == Changed);
            QCOMPARE(kindOf(file), tag.contains("link") ? "link" : "file");
        } else {
            QVERIFY((loaded == Values{{W, W, W, W, W, W, W, W, W}}));
            QCOMPARE(kindOf(target), written);
            if (written == "file")
                QCOMPARE(contentsOf(target), "");
        }
    }

    // Opening the store removes the temporary files and the lock file of runs killed while
    // they wrote, and nothing else; not while another copy holds the lock.
    void leftovers_data()
    {
        QTest::addColumn<bool>("removed");
        QTest::addColumn<bool>("lockHeld");
        for (bool held : {false, true}) {
            const char *suffix = held ? " while another copy writes" : "";
            const auto row = [&](const char *name, bool removed) {
                QTest::newRow(qPrintable(QString::fromLatin1(name) + suffix))
                    << (removed && !held) << held;
            };
            row("Chromalynx.ini.a1B2c3", true);
            row("Chromalynx.ini.Zz0000", true);
            if (!held)
                row("Chromalynx.ini.lock", true);
            row("Chromalynx.ini.damaged", false);
            row("Chromalynx.ini.a1B2c", false);
            row("Chromalynx.ini.a1-2c3", false);
            row("Chromalynx.inix1B2c3", false);
            row("Other.ini.a1B2c3", false);
        }
    }

    void leftovers()
    {
        QFETCH(bool, removed);
        QFETCH(bool, lockHeld);
        const QString folder = here();
        const QString name = QString::fromLatin1(QTest::currentDataTag()).section(' ', 0, 0);
        QVERIFY(writeFile(folder + "/Chromalynx.ini", "[favorite]\n1=5\n"));
        QVERIFY(writeFile(folder + '/' + name, "x"));
        const int lock = ::open(native(folder + "/Chromalynx.ini.lock").c_str(),
                                O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(lock >= 0);
        if (lockHeld)
            QVERIFY(::flock(lock, LOCK_EX) == 0);
        {
            platform::SettingsFile store(native(folder + "/Chromalynx.ini"));
            QCOMPARE(Load(store).favorites[0], 5);
        }
        ::close(lock);
        QCOMPARE(QFileInfo::exists(folder + '/' + name), !removed);
    }

    // A huge file of others' keys: our keys are found within bounded time and memory, and
    // the rewrite holds ours alone, the huge file kept as ".damaged" without a copy.
    void hugeFile()
    {
        const QString file = here() + "/Chromalynx.ini";
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("[favorite]\n1=255\n");
            QByteArray block;
            for (int i = 0; i < 20000; ++i)
                block += "key" + QByteArray::number(i) + "=some foreign value, longish\n";
            for (int i = 0; out.size() < 50'000'000; ++i)
                out.write((i % 2 ? "[other]\n" : "[favorite]\n") + block);
            out.write("[condition]\nformtop=1\n");
        }
        resetPeak();
        const long before = peakKilobytes();
        QElapsedTimer clock;
        clock.start();
        double cpu = cpuMilliseconds();
        platform::SettingsFile store(native(file));
        const Values loaded = Load(store);
        const double startUp = cpuMilliseconds() - cpu;
        const qint64 startUpWall = clock.restart();
        cpu = cpuMilliseconds();
        Save(store, loaded);
        const double shutDown = cpuMilliseconds() - cpu;
        const qint64 shutDownWall = clock.elapsed();
        const long extra = peakKilobytes() - before;
        qInfo("50 MB file: start-up %.1f ms (%lld ms on the clock), shut-down %.1f ms (%lld ms), "
              "%ld KiB extra",
              startUp, startUpWall, shutDown, shutDownWall, extra);

        QCOMPARE(loaded.favorites[0], 255);
        QCOMPARE(loaded.formtop, 1);
        QVERIFY2(startUp <= 50 * Slowdown && shutDown <= 50 * Slowdown, "too slow");
        QVERIFY2(extra <= 10 * 1024, "too much memory");
        QVERIFY(store.keptAll());
        QCOMPARE(contentsOf(file),
                 "[condition]\nchar=0\ncolornamelist=0\nformtop=1\n\n[favorite]\n1=255\n"
                 "2=16777215\n3=16777215\n4=16777215\n5=16777215\n6=16777215\n7=16777215\n"
                 "8=16777215\n9=16777215\n");
        QVERIFY(QFileInfo(file + ".damaged").size() >= 50'000'000);
        struct stat damaged { };
        QVERIFY(::stat(native(file + ".damaged").c_str(), &damaged) == 0);
        QCOMPARE(damaged.st_nlink, nlink_t(1)); // the old file itself, no copy of it
    }

    // An unreadable file or an unwritable folder: the values of the run are reported lost
    // only when they differ from what the store held.
    void unwritable_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("changed");
        for (const char *what : {"unreadable file", "read-only folder"}) {
            QTest::newRow(qPrintable(QString::fromLatin1(what) + ", unchanged")) << what << false;
            QTest::newRow(qPrintable(QString::fromLatin1(what) + ", changed")) << what << true;
        }
    }

    void unwritable()
    {
        QFETCH(QString, what);
        QFETCH(bool, changed);
        if (::geteuid() == 0)
            QSKIP("root reads and writes anything; the fault tests cover this as another user");
        const QString folder = here();
        const QString file = folder + "/Chromalynx.ini";
        QVERIFY(writeFile(file, "[favorite]\n1=255\n"));
        const QString mode = what == "unreadable file" ? file : folder;
        QVERIFY(::chmod(native(mode).c_str(), what == "unreadable file" ? 0 : 0500) == 0);
        bool kept = false;
        {
            platform::SettingsFile store(native(file));
            Values values = Load(store);
            if (changed)
                values.favorites[3] = 0;
            Save(store, values);
            kept = store.keptAll();
        }
        ::chmod(native(mode).c_str(), what == "unreadable file" ? 0600 : 0700);
        QCOMPARE(kept, !changed);
        QCOMPARE(contentsOf(file), "[favorite]\n1=255\n");
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
