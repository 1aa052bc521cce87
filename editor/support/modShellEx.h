#pragma once

#include "desktop/DesktopTypes.h"
#include "editor/support/EditorError.h"

#include <cstdint>
#include <optional>
#include <QString>

// Hands a document, program or address to the shell to open with its
// associated program. Never throws: a shell failure returns false and, when
// rError is given, the failure translated by ShellFailure.
bool OpenWithShell(const QString& target, int32_t showMode, const QString& parameters,
                   const QString& directory, const QString& verb, zrv::desktop::HWND owner,
                   std::optional<EditorError>* rError = nullptr);

// True when a shell result reports a failure (0 to 32 inclusive).
bool IsShellFailure(zrv::desktop::HINSTANCE r);

// The error for a failing shell result: number, "<program>.GShell", message.
EditorError ShellFailure(zrv::desktop::HINSTANCE r);
