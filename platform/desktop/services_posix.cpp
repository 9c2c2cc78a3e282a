#include "platform/desktop/qtservices.h"

namespace platform {

std::unique_ptr<ColorDialog> CreateSystemColorDialog()
{
    return std::make_unique<QtColorDialog>();
}

std::unique_ptr<Desktop> CreateSystemDesktop()
{
    return std::make_unique<QtDesktop>();
}

} // namespace platform
