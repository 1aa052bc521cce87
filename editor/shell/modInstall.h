#pragma once

#include "desktop/DesktopTypes.h"

#include <QString>

class QWidget;

// Where the fortune player is installed, found through its uninstall entry.
namespace Install {

inline const QString UninstallKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
inline const QString AppPathValue = QStringLiteral("Inno Setup: App Path");
inline const QString PlayerFile = QStringLiteral("ZorvaFortune.exe");

// True for the name of the player's uninstall entry (not the editor's own).
bool IsPlayerEntry(const QString& entryName);

// The player's folder from its uninstall entry, making sure its data folder
// exists (one level); the editor's folder when no entry names one or any
// step fails, in which case no data folder is made.
QString FindAppPath(const QString& editorFolder);

// Without the player beside the editor, offers over owner to open the
// player's home page.
void CheckPlayerInstalled(const QString& editorFolder, QWidget* owner, zrv::desktop::HWND hWnd);

} // namespace Install
