#include "editor/shell/modInstall.h"

#include "editor/shell/modArchiveFiles.h"
#include "editor/shell/modLike.h"
#include "editor/support/CRegistry.h"
#include "editor/support/EditorError.h"
#include "editor/support/Logging.h"

#include <QDir>
#include <QFileInfo>

namespace Install {

namespace {

// The uninstall entry of the player; empty when there is none.
QString FindPlayerEntry()
{
    CRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE, UninstallKey, false);
    const int32_t count = registry.NumOfSubKeys();
    QString found;
    for (int32_t i = 1; i <= count; ++i) {
        QString name;
        registry.ReadKeyByNum(i, name);
        if (IsPlayerEntry(name)) {
            found = name;
            break;
        }
    }
    registry.CloseKey();
    return found;
}

QString ReadAppPath(const QString& entry)
{
    CRegistry registry;
    registry.OpenKey(HKEY_LOCAL_MACHINE, UninstallKey + u'\\' + entry, false);
    QString path = registry.ReadValue(AppPathValue);
    registry.CloseKey();
    return path;
}

void EnsureDataFolder(const QString& appPath)
{
    const QString data = ArchiveFiles::PathOf(appPath);
    if (QFileInfo(data).isDir())
        return;
    if (!QDir().mkdir(data))
        throw EditorError(76, QStringLiteral("frmMain:FindAppPath"), QStringLiteral("Path not found"));
}

} // namespace

bool IsPlayerEntry(const QString& entryName)
{
    return MatchesPattern(entryName, QStringLiteral("ZorvaFortune*"), Qt::CaseInsensitive)
        && !MatchesPattern(entryName, QStringLiteral("ZorvaFortune Editor*"), Qt::CaseInsensitive);
}

QString FindAppPath(const QString& editorFolder)
{
    try {
        QString appPath = editorFolder;
        const QString entry = FindPlayerEntry();
        if (!entry.isEmpty())
            appPath = ReadAppPath(entry);
        EnsureDataFolder(appPath);
        return appPath;
    } catch (const EditorError& error) {
        qCWarning(lcEditor).noquote() << "player folder not found, using" << editorFolder
                                      << "instead:" << DescribeFailure(error);
        return editorFolder;
    }
}

} // namespace Install
