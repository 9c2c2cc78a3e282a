// Writes the program's icon for the desktop's icon theme (.png) or for the Windows
// executable's resources (.ico), so that the installed icon is the very picture the window
// shows.

#include "app/pictures.h"

#include <QGuiApplication>
#include <QPixmap>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    return Pictures::AppIcon().pixmap(32, 32).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
