#include "platform/store/settingsstore.h"

#include "platform/store/settingsregistry.h"

namespace platform {

std::unique_ptr<settings::Store> OpenSettingsStore()
{
    return std::make_unique<SettingsRegistry>();
}

} // namespace platform
