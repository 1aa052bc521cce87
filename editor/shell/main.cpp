// fortedit: the fortune archive editor.

#include "desktop/NamedMutex.h"
#include "desktop/PlatformChoice.h"
#include "desktop/Prompts.h"
#include "editor/shell/CMainWindowCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/support/ProductArt.h"

#include <memory>
#include <QApplication>
#include <QIcon>

using namespace zrv::desktop;

namespace {

const QString kProductName = QStringLiteral("ZorvaFortune Editor");

void ShowInitialisationError()
{
    MsgBox(
        QStringLiteral(
            "Failed to initialise application.\r\nPlease restart application.\r\nShould problem "
            "still "
            "persist, backup all your personal data files associated with this application, then "
            "uninstall and reinstall the software."),
        vbOKOnly | vbCritical, QStringLiteral("Initialisation Error."));
}

} // namespace

int main(int argc, char** argv)
{
    const QString platform = PreferredPlatform(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.toLatin1());
    // The toolkit's start takes the place of the common controls' initialisation.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fortedit"));
    QApplication::setOrganizationName(QStringLiteral("ZorvaTools"));
    QApplication::setWindowIcon(QIcon(ProductArt::AppIcon()));
    std::unique_ptr<frmMain> main;
    try {
        // Any number of editors may run: the mutex only marks that one does.
        CreateMutexA(nullptr, FALSE, kProductName.toLocal8Bit().constData());
        main = std::make_unique<frmMain>(QString(), &CMainWindowCommands::Install);
        main->Form_Load();
    } catch (...) {
        ShowInitialisationError();
        return 1;
    }
    return QApplication::exec();
}
