#include "platform/store/settingsstore.h"

#include "platform/store/settingsfile.h"

#include <QFile>
#include <QStandardPaths>

namespace platform {

std::unique_ptr<settings::Store> OpenSettingsStore()
{
    const QString iniFile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Chromalynx/Chromalynx.ini");
    return std::make_unique<SettingsFile>(QFile::encodeName(iniFile).toStdString());
}

} // namespace platform
