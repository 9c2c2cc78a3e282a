#include "platform/store/settingsregistry.h"

#include <QTest>

#include <windows.h>

using namespace settings;

namespace {

constexpr colorcodes::ColorValue W = colorcodes::White;
const Values Changed = {{0, 255, 65280, 16711680, 16744448, 11829830, 1, 16777214, W}, 1, 1, 0};

// Every case under a key of its own here, never under the program's own key.
const std::wstring TestRoot = L"Software\\Chromalynx tests";

std::wstring wide(const QString &text)
{
    return text.toStdWString();
}

// A raw registry value: its type and its bytes.
struct Raw {
    DWORD type = REG_NONE;
    QByteArray data;
    friend bool operator==(const Raw &, const Raw &) = default;
};

QByteArray sz(const QString &text, bool terminated = true)
{
    QByteArray bytes(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    if (terminated)
        bytes.append(2, '\0');
    return bytes;
}

QByteArray dword(DWORD value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
}

bool setRaw(const std::wstring &key, const QString &name, const Raw &raw)
{
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &handle, nullptr)
        != ERROR_SUCCESS)
        return false;
    const bool set = ::RegSetValueExW(handle, wide(name).c_str(), 0, raw.type,
                                      reinterpret_cast<const BYTE *>(raw.data.constData()),
                                      static_cast<DWORD>(raw.data.size()))
        == ERROR_SUCCESS;
    ::RegCloseKey(handle);
    return set;
}

// The values of a key by name, in the order the registry lists them.
QList<std::pair<QString, Raw>> valuesOf(const std::wstring &key)
{
    QList<std::pair<QString, Raw>> values;
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &handle)
        != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[512];
        DWORD size = sizeof data;
        DWORD type = REG_NONE;
        if (::RegEnumValueW(handle, i, name, &nameLength, nullptr, &type, data, &size)
            != ERROR_SUCCESS)
            break;
        values.append({QString::fromWCharArray(name, int(nameLength)),
                       {type, QByteArray(reinterpret_cast<const char *>(data), int(size))}});
    }
    ::RegCloseKey(handle);
    return values;
}

} // namespace

class TestSettingsRegistry : public QObject {
    Q_OBJECT

    // A key of its own for every test and row.
    static std::wstring here()
    {
        QString name = QString::fromLatin1(QTest::currentTestFunction());
        if (QTest::currentDataTag())
            name += QLatin1Char(' ') + QString::fromLatin1(QTest::currentDataTag());
        return TestRoot + L'\\' + wide(name);
    }

private Q_SLOTS:
    void initTestCase() { ::RegDeleteTreeW(HKEY_CURRENT_USER, TestRoot.c_str()); }
    void cleanupTestCase() { ::RegDeleteTreeW(HKEY_CURRENT_USER, TestRoot.c_str()); }

    // A value as the platform's own store keeps it is read; a damaged one costs its own key
    // only. Saving then writes the twelve as null-terminated strings and leaves the values
    // of others as they were.
    void seededValue_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("index"); // into the schema
        QTest::addColumn<int>("read");

        const auto row = [](const char *tag, const char *section, const char *name, DWORD type,
                            const QByteArray &data, int index, int read) {
            QTest::newRow(tag) << section << name << int(type) << data << index << read;
        };
        row("(empty store)", "", "", REG_NONE, {}, 0, W);
        row("favorite 1 = \"255\"", "favorite", "1", REG_SZ, sz("255"), 0, 255);
        row("colornamelist = \"1\"", "condition", "colornamelist", REG_SZ, sz("1"), 10, 1);
        row("no closing null", "favorite", "5", REG_SZ, sz("65280", false), 4, 65280);
        row("leading zeros", "favorite", "9", REG_SZ, sz("000255"), 8, 255);
        row("not decimal", "favorite", "2", REG_SZ, sz("12x"), 1, W);
        row("out of range", "condition", "formtop", REG_SZ, sz("3"), 9, 0);
        // Its bytes would read as the text "25".
        row("REG_DWORD", "favorite", "3", REG_DWORD, dword(0x00350032), 2, W);
        row("REG_EXPAND_SZ", "favorite", "3", REG_EXPAND_SZ, sz("255"), 2, W);
        row("too long", "favorite", "4", REG_SZ, sz(QString(40, '0') + "1"), 3, W);
        row("full-width digits", "favorite", "6", REG_SZ, sz(QStringLiteral("２５５")), 5, W);
        row("null inside", "condition", "char", REG_SZ, sz(QString::fromUtf16(u"1\0002", 3)), 11,
            0);
    }

    void seededValue()
    {
        QFETCH(QString, section);
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QByteArray, data);
        QFETCH(int, index);
        QFETCH(int, read);
        const std::wstring root = here();
        const Raw foreignText{REG_SZ, sz("keep me")};
        const Raw foreignNumber{REG_DWORD, dword(7)};
        if (!section.isEmpty())
            QVERIFY(setRaw(root + L"\\" + wide(section), name, {DWORD(type), data}));
        QVERIFY(setRaw(root + L"\\favorite", "10", foreignText));
        QVERIFY(setRaw(root + L"\\condition", "width", foreignNumber));
        QVERIFY(setRaw(root, "other", foreignText));

        platform::SettingsRegistry store(root);
        Values expected = {{W, W, W, W, W, W, W, W, W}, 0, 0, 0};
        if (index < 9)
            expected.favorites[std::size_t(index)] = read;
        else if (index == 9)
            expected.formtop = std::int16_t(read);
        else if (index == 10)
            expected.colornamelist = std::int16_t(read);
        else
            expected.chr = std::int16_t(read);
        const Values loaded = Load(store);
        QVERIFY2(loaded == expected, "only the seeded key differs from the defaults");

        Save(store, Changed);
        QVERIFY(store.keptAll());
        platform::SettingsRegistry again(root);
        QVERIFY(Load(again) == Changed);

        QStringList ours;
        for (const auto &[key, raw] :
             valuesOf(root + L"\\favorite") + valuesOf(root + L"\\condition")) {
            if (key == "10") {
                QVERIFY(raw == foreignText);
            } else if (key == "width") {
                QVERIFY(raw == foreignNumber);
            } else {
                QCOMPARE(raw.type, DWORD(REG_SZ));
                QVERIFY(raw.data.endsWith(QByteArray(2, '\0')));
                ours << key + '='
                        + QString::fromUtf16(
                            reinterpret_cast<const char16_t *>(raw.data.constData()),
                            raw.data.size() / 2 - 1);
            }
        }
        ours.sort();
        QCOMPARE(
            ours,
            QStringList({"1=0", "2=255", "3=65280", "4=16711680", "5=16744448", "6=11829830", "7=1",
                         "8=16777214", "9=16777215", "char=0", "colornamelist=1", "formtop=1"}));
        QVERIFY(valuesOf(root) == (QList<std::pair<QString, Raw>>{{"other", foreignText}}));
    }

    // A registry that refuses the writes (a section that cannot be created under a
    // volatile key) writes nothing and reports a loss only when the run changed a value.
    void notKept_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::newRow("changed") << true;
        QTest::newRow("unchanged") << false;
    }

    void notKept()
    {
        QFETCH(bool, changed);
        const std::wstring volatileKey = here();
        HKEY handle = nullptr;
        QCOMPARE(::RegCreateKeyExW(HKEY_CURRENT_USER, volatileKey.c_str(), 0, nullptr,
                                   REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
                 LSTATUS(ERROR_SUCCESS));
        ::RegCloseKey(handle);
        platform::SettingsRegistry store(volatileKey + L"\\Chromalynx");
        const Values loaded = Load(store);
        Save(store, changed ? Changed : loaded);
        QCOMPARE(store.keptAll(), !changed);
        QVERIFY(valuesOf(volatileKey + L"\\Chromalynx\\favorite").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsRegistry)
#include "tst_settingsregistry.moc"
