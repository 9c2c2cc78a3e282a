#include "platform/store/settingsstore.h"

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
#include <QSettings>
#else
#include "platform/store/settingsfile.h"

#include <QFile>
#include <QStandardPaths>
#endif

namespace platform {

namespace {

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)

QString path(std::string_view section, std::string_view key)
{
    return QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size()))
        + QLatin1Char('/') + QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

// The registry or the preferences, through QSettings.
class NativeStore final : public settings::Store {
public:
    NativeStore()
        : store_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Chromalynx"),
                 QStringLiteral("Chromalynx"))
    {
    }
    explicit NativeStore(const QString &iniFile)
        : store_(iniFile, QSettings::IniFormat)
    {
    }

    std::optional<std::string> read(std::string_view section, std::string_view key) override
    {
        const QVariant value = store_.value(path(section, key));
        if (value.typeId() != QMetaType::QString)
            return std::nullopt;
        return value.toString().toStdString();
    }
    void write(std::string_view section, std::string_view key, std::string_view text) override
    {
        store_.setValue(path(section, key),
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    void flush() override { store_.sync(); }
    bool keptAll() const override { return store_.status() == QSettings::NoError; }

    QString fileName() const { return store_.fileName(); }

private:
    QSettings store_;
};

std::unique_ptr<NativeStore> open(const QString &iniFile)
{
    return iniFile.isEmpty() ? std::make_unique<NativeStore>()
                             : std::make_unique<NativeStore>(iniFile);
}

QString nameOf(const NativeStore &store)
{
    return store.fileName();
}

#else

std::unique_ptr<SettingsFile> open(QString iniFile)
{
    if (iniFile.isEmpty())
        iniFile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/Chromalynx/Chromalynx.ini");
    return std::make_unique<SettingsFile>(QFile::encodeName(iniFile).toStdString());
}

QString nameOf(const SettingsFile &store)
{
    return QFile::decodeName(QByteArray::fromStdString(store.path()));
}

#endif

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(QString())
{
}

SettingsStore::SettingsStore(const QString &iniFile)
{
    auto store = open(iniFile);
    fileName_ = nameOf(*store);
    store_ = std::move(store);
}

SettingsStore::~SettingsStore() = default;

std::optional<std::string> SettingsStore::read(std::string_view section, std::string_view key)
{
    return store_->read(section, key);
}

void SettingsStore::write(std::string_view section, std::string_view key, std::string_view text)
{
    store_->write(section, key, text);
}

void SettingsStore::flush()
{
    store_->flush();
}

bool SettingsStore::keptAll() const
{
    return store_->keptAll();
}

} // namespace platform
