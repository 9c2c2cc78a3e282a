#include "platform/desktop/qtservices.h"

#include "platform/controls/picturebox.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace platform {

bool QtColorDialog::ShowColor(QWidget *owner)
{
    const QColor chosen = QColorDialog::getColor(ToQColor(color_), owner);
    if (!chosen.isValid())
        return false;
    color_ = FromQColor(chosen);
    return true;
}

bool QtMessageBox::confirm(QWidget *owner, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel, owner);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void QtMessageBox::inform(QWidget *owner, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
    box.exec();
}

void QtDesktop::open(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

} // namespace platform
