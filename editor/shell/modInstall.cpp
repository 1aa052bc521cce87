#include "editor/shell/modInstall.h"

#include "editor/support/Logging.h"
#include "fortarc/PlayerInstall.h"

#include <QFile>

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

} // namespace Install
