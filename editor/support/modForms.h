#pragma once

#include "desktop/DesktopTypes.h"

class QWidget;

// Launchers of the help links and the About box.
void ShowHomePage(zrv::desktop::HWND owner);
void ShowUserGuide(zrv::desktop::HWND owner);
// Shows a fresh About box modally over owner and discards it afterwards.
void ShowAbout(QWidget* owner);
