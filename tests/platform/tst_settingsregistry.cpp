// What only this suite can check of the registry store: hostile values, refused writes. The
// real program's writes, restarts and seeded values run under Wine in tests/session/wine.py.

#include "platform/store/settingsregistry.h"

#include <QTest>

#include <windows.h>

using namespace settings;

namespace {

constexpr colorcodes::ColorValue W = colorcodes::White;
const Values Changed = {{0, 255, 65280, 16711680, 16744448, 11829830, 1, 16777214, W}, 1, 1, 0};

// Every case under a key of its own here, never under the program's own key.
const std::wstring TestRoot = L"Software\\Chromalynx tests";

// A raw registry value: its type and its bytes.
struct Raw {
    DWORD type = REG_NONE;
    QByteArray data;
};

Raw sz(const QString &text, bool terminated = true, DWORD type = REG_SZ)
{
    return {type,
            QByteArray(reinterpret_cast<const char *>(text.utf16()),
                       (text.size() + (terminated ? 1 : 0)) * 2)};
}

Raw dword(DWORD value)
{
    return {REG_DWORD, QByteArray(reinterpret_cast<const char *>(&value), sizeof value)};
}

bool setRaw(const std::wstring &key, const QString &name, const Raw &raw)
{
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &handle, nullptr)
        != ERROR_SUCCESS)
        return false;
    const bool set = ::RegSetValueExW(handle, name.toStdWString().c_str(), 0, raw.type,
                                      reinterpret_cast<const BYTE *>(raw.data.constData()),
                                      static_cast<DWORD>(raw.data.size()))
        == ERROR_SUCCESS;
    ::RegCloseKey(handle);
    return set;
}

// The values of a key, sorted: "name=text" for a null-terminated string, else
// "name:type:bytes in hex".
QStringList valuesOf(const std::wstring &path)
{
    QStringList values;
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &handle)
        != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        char16_t data[256];
        DWORD nameLength = 256, size = sizeof data, type = REG_NONE;
        if (::RegEnumValueW(handle, i, name, &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE *>(data), &size)
            != ERROR_SUCCESS)
            break;
        const QString key = QString::fromWCharArray(name, int(nameLength));
        const QString text = QString::fromUtf16(data, size / 2);
        const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
        if (type == REG_SZ && text.endsWith(u'\0'))
            values << key + '=' + text.chopped(1);
        else
            values << QStringLiteral("%1:%2:%3").arg(key).arg(type).arg(bytes.toHex());
    }
    ::RegCloseKey(handle);
    values.sort();
    return values;
}

} // namespace

class TestSettingsRegistry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ::RegDeleteTreeW(HKEY_CURRENT_USER, TestRoot.c_str()); }
    void cleanupTestCase() { ::RegDeleteTreeW(HKEY_CURRENT_USER, TestRoot.c_str()); }

    // Each hostile value costs its own key only. Saving then writes the twelve as
    // null-terminated strings and leaves the values of others as they were.
    void hostileValues()
    {
        const std::wstring root = TestRoot + L"\\hostile";
        const QList<std::tuple<std::wstring, QString, Raw>> seeded
            = {{L"\\favorite", "1", sz("000255")},
               {L"\\favorite", "2", sz("12x")},
               {L"\\favorite", "3", dword(0x00350032)}, // its bytes would read as the text "25"
               {L"\\favorite", "4", sz(QString(40, '0') + "1")},
               {L"\\favorite", "5", sz("65280", false)},
               {L"\\favorite", "6", sz(QStringLiteral("２５５"))},
               {L"\\favorite", "7", sz("255", true, REG_EXPAND_SZ)},
               {L"\\favorite", "10", sz("keep me")},
               {L"\\condition", "formtop", sz("3")},
               {L"\\condition", "colornamelist", sz("1")},
               {L"\\condition", "char", sz(QString::fromUtf16(u"1\0002", 3))},
               {L"\\condition", "width", dword(7)},
               {L"", "other", sz("keep me")}};
        for (const auto &[section, name, raw] : seeded)
            QVERIFY2(setRaw(root + section, name, raw), qPrintable(name));

        platform::SettingsRegistry store(root);
        QVERIFY(Load(store) == (Values{{255, W, W, W, 65280, W, W, W, W}, 0, 1, 0}));
        Save(store, Changed);
        QVERIFY(store.keptAll());
        QCOMPARE(
            valuesOf(root + L"\\favorite") + valuesOf(root + L"\\condition") + valuesOf(root),
            QStringList({"10=keep me", "1=0", "2=255", "3=65280", "4=16711680", "5=16744448",
                         "6=11829830", "7=1", "8=16777214", "9=16777215", "char=0",
                         "colornamelist=1", "formtop=1", "width:4:07000000", "other=keep me"}));
    }

    // A registry that refuses the writes (a section cannot be created under a volatile key)
    // writes nothing and reports a loss only when the run changed a value.
    void refusedWrites()
    {
        for (const bool changed : {true, false}) {
            const std::wstring volatileKey = TestRoot + (changed ? L"\\changed" : L"\\unchanged");
            HKEY handle = nullptr;
            QCOMPARE(::RegCreateKeyExW(HKEY_CURRENT_USER, volatileKey.c_str(), 0, nullptr,
                                       REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &handle,
                                       nullptr),
                     LSTATUS(ERROR_SUCCESS));
            ::RegCloseKey(handle);
            platform::SettingsRegistry store(volatileKey + L"\\Chromalynx");
            const Values loaded = Load(store);
            Save(store, changed ? Changed : loaded);
            QCOMPARE(store.keptAll(), !changed);
            QCOMPARE(valuesOf(volatileKey + L"\\Chromalynx\\favorite"), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsRegistry)
#include "tst_settingsregistry.moc"
