#include "platform/settingsstore.h"

#include <QFile>

namespace platform {

namespace {

QSettings::Format platformFormat()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return QSettings::NativeFormat;
#else
    return QSettings::IniFormat;
#endif
}

QString path(std::string_view section, std::string_view key)
{
    return QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size()))
        + QLatin1Char('/') + QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

SettingsStore::SettingsStore()
    : store_(platformFormat(), QSettings::UserScope, QStringLiteral("Chromalynx"),
             QStringLiteral("Chromalynx"))
{
    keepDamagedFile();
}

SettingsStore::SettingsStore(const QString &iniFile)
    : store_(iniFile, QSettings::IniFormat)
{
    keepDamagedFile();
}

void SettingsStore::keepDamagedFile()
{
    // Qt rewrites a damaged file with only the keys it could read; keep the damaged one
    // beside it so that nothing the user had is gone for good.
    if (store_.status() == QSettings::FormatError) {
        const QString damaged = store_.fileName() + QStringLiteral(".damaged");
        QFile::remove(damaged);
        QFile::copy(store_.fileName(), damaged);
    }
}

std::optional<std::string> SettingsStore::read(std::string_view section, std::string_view key)
{
    const QVariant value = store_.value(path(section, key));
    // A text with a comma comes back as a list, an "@Variant" as some other type: neither
    // is one of ours.
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString().toStdString();
}

void SettingsStore::write(std::string_view section, std::string_view key, std::string_view text)
{
    store_.setValue(path(section, key),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void SettingsStore::flush()
{
    store_.sync();
}

} // namespace platform
