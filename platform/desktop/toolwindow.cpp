#include "platform/desktop/toolwindow.h"

#include "platform/controls/accessibility.h"

namespace platform {

ToolWindow::ToolWindow(QWidget *owner)
    : QWidget(owner, Qt::Tool)
{
    InstallAccessibleInterfaces();
}

} // namespace platform
