#include "editor/shell/modInstall.h"

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
    return QFile::decodeName(zrv::PlayerInstall::FindAppPath(folder).c_str());
}

} // namespace Install
