// Always on top, the readme and the About box.

#include "app/chromalynx.h"

#include "app/aboutdialog.h"
#include "app/standardfunctions.h"
#include "platform/controls/checkbox.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace StandardFunctions;

void Chromalynx::CheckFormtop_Click()
{
    switch (CheckFormtop->value()) {
    case 1:
        SetFormTopmost(*this, 1);
        display_formtop->setText(QStringLiteral("常に手前に表示を解除"));
        break;
    case 0:
        SetFormTopmost(*this, 0);
        display_formtop->setText(QStringLiteral("常に手前に表示"));
        break;
    default:
        break;
    }
}

void Chromalynx::display_formtop_Click()
{
    switch (CheckFormtop->value()) {
    case 0:
        CheckFormtop->setValue(1);
        break;
    case 1:
        CheckFormtop->setValue(0);
        break;
    default:
        return;
    }
    CheckFormtop_Click();
}

void Chromalynx::mhelp_display_Click()
{
    const QString readme = QDir(services_.programFolder).filePath(QStringLiteral("readme.txt"));
    // Only this one place counts, and only an ordinary file: a folder of that name is no
    // readme.
    if (QFileInfo(readme).isFile())
        services_.desktop.open(QUrl::fromLocalFile(readme));
    else
        services_.messageBox.inform(this, QStringLiteral("readme.txtがありません。"),
                                    QStringLiteral("readme"));
}

void Chromalynx::mhelp_version_Click()
{
    // A greyed option is not in force, and its stored value must survive the box.
    if (CheckFormtop->isEnabled() && CheckFormtop->value() == 1) {
        CheckFormtop->setValue(0);
        CheckFormtop_Click();
    }
    AboutDialog about(this, services_.desktop);
    about.exec();
}
