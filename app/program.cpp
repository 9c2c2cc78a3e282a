#include "app/program.h"

#include "app/chromalynx.h"
#include "platform/desktop/endofrun.h"
#include "platform/desktop/qtservices.h"
#include "platform/desktop/screencapture.h"
#include "platform/desktop/uifont.h"
#include "platform/desktop/windowsystem.h"
#include "platform/store/settingsstore.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void PrepareApplication()
{
    // The program speaks Japanese, so Qt's own dialogs and buttons should as well.
    static QTranslator qtTexts;
    if (qtTexts.isEmpty()
        && qtTexts.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    QApplication::setFont(platform::UiFont());
}

int RunChromalynx(int &argc, char **argv, const std::function<void(Chromalynx &)> &beforeShow)
{
    QApplication app(argc, argv);
    PrepareApplication();

    const std::unique_ptr<platform::ColorDialog> colorDialog = platform::CreateSystemColorDialog();
    platform::QtMessageBox messageBox;
    const std::unique_ptr<platform::Desktop> desktop = platform::CreateSystemDesktop();
    const std::unique_ptr<settings::Store> store = platform::OpenSettingsStore();
    const std::unique_ptr<platform::ScreenCapture> screenCapture = platform::CreateScreenCapture();
    Chromalynx window({*colorDialog, messageBox, *desktop, *store,
                       QApplication::applicationDirPath(), screenCapture.get(),
                       platform::StaysOnTopAvailable()});
    // Logging out, a signal or a lost display ends the run as closing the window does.
    platform::EndOfRun endOfRun(window, [&window] { window.Form_Unload(); });
    if (beforeShow)
        beforeShow(window);
    window.show();
    const int code = QApplication::exec();
    platform::EndTeardownWithin(std::chrono::seconds(5), code);
    return code;
}
