// A settings file of any bytes reads as twelve values within their ranges, and the file
// written back afterwards reads as the same values.

#include "platform/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir folder;
    static unsigned serial = 0;
    // QSettings caches a file's contents by name; a fresh name each time reads anew.
    const QString file = folder.filePath(QStringLiteral("s%1.ini").arg(++serial));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return 0;
        out.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }

    settings::Values values;
    {
        platform::SettingsStore store(file);
        values = settings::Load(store);
        for (colorcodes::ColorValue favorite : values.favorites) {
            if (favorite < 0 || favorite > colorcodes::White)
                std::abort();
        }
        for (std::int16_t state : {values.formtop, values.colornamelist, values.chr}) {
            if (state < 0 || state > 2)
                std::abort();
        }
        settings::Save(store, values);
    }
    {
        platform::SettingsStore again(file);
        if (!(settings::Load(again) == values))
            std::abort();
    }
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".damaged"));
    return 0;
}
