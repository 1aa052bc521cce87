#include "editor/shell/modInstall.h"

#include "desktop/Prompts.h"
#include "desktop/ShellExecute.h"
#include "editor/support/Logging.h"
#include "editor/support/modShellEx.h"
#include "editor/support/ProductLinks.h"
#include "fortarc/PlayerInstall.h"

#include <QFile>
#include <QFileInfo>

using namespace zrv::desktop;

// The search itself is shared with fortarc, which finds archives as the
// editor does and links no Qt.
namespace Install {

bool IsPlayerEntry(const QString& entryName)
{
    return zrv::PlayerInstall::IsPlayerEntry(entryName.toStdString());
}

QString FindAppPath(const QString& editorFolder)
{
    const std::string folder = QFile::encodeName(editorFolder).toStdString();
    std::string failure;
    const QString appPath =
        QFile::decodeName(zrv::PlayerInstall::FindAppPath(folder, &failure).c_str());
    if (!failure.empty())
        qCWarning(lcEditor).noquote() << "player folder not found, using" << editorFolder
                                      << "instead:" << QString::fromStdString(failure);
    return appPath;
}

void CheckPlayerInstalled(const QString& editorFolder, QWidget* owner, HWND hWnd)
{
    if (QFileInfo(editorFolder + u'/' + PlayerFile).isFile())
        return;
    const int answer = MsgBox(
        QStringLiteral(
            "We have detected that you have installed the ZorvaFortune Editor yet you do not have "
            "ZorvaFortune installed.  While the program will run, it is of limited value without "
            "it "
            "since you can't play your fortune archives.  Would you like us to launch a browser "
            "window "
            "taking you to the ZorvaFortune homepage from where you can download ZorvaFortune?"),
        vbYesNo, QStringLiteral("WARNING! ZorvaFortune Main Application not installed!"), owner);
    if (answer == vbYes)
        OpenWithShell(ProductLinks::HomePageUrl, SW_SHOWDEFAULT, {}, {}, QStringLiteral("open"),
                      hWnd);
}

} // namespace Install
