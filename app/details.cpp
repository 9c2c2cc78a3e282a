// The colour-details window.

#include "app/chromalynx.h"

#include "app/detailswindow.h"

void Chromalynx::display_details_Click()
{
    // Made on first use, then kept: the window is the main window's child and goes with it.
    auto *details = findChild<DetailsWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!details)
        details = new DetailsWindow(*this);
    details->show();
    details->raise();
    details->activateWindow();
}
