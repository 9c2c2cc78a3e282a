// The program as a user starts it, ending itself after its first frame.

#include "app/chromalynx.h"
#include "firstframe.h"
#include "platform/qtservices.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    platform::QtColorDialog colorDialog;
    platform::QtMessageBox messageBox;
    platform::QtDesktop desktop;
    platform::SettingsStore store;
    Chromalynx window(
        {colorDialog, messageBox, desktop, store, QApplication::applicationDirPath()});
    FirstFrame probe(window);
    window.show();
    return QApplication::exec();
}
