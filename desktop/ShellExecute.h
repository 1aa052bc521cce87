#pragma once

// The shell's document opener: documents, folders and web addresses open with
// the desktop's associated program (xdg-open); programs start directly.

#include "desktop/DesktopTypes.h"

#include <QString>

namespace zrv::desktop {

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWDEFAULT = 10;

// Failure results; anything above 32 is success.
constexpr HINSTANCE SE_ERR_OOM_ZERO = 0; // out of memory or resources
constexpr HINSTANCE SE_ERR_FNF = 2;
constexpr HINSTANCE SE_ERR_PNF = 3;
constexpr HINSTANCE SE_ERR_ACCESSDENIED = 5;
constexpr HINSTANCE SE_ERR_OOM = 8;
constexpr HINSTANCE SE_ERR_BAD_FORMAT = 11;
constexpr HINSTANCE SE_ERR_SHARE = 26;
constexpr HINSTANCE SE_ERR_ASSOCINCOMPLETE = 27;
constexpr HINSTANCE SE_ERR_DDETIMEOUT = 28;
constexpr HINSTANCE SE_ERR_DDEFAIL = 29;
constexpr HINSTANCE SE_ERR_DDEBUSY = 30;
constexpr HINSTANCE SE_ERR_NOASSOC = 31;
constexpr HINSTANCE SE_ERR_DLLNOTFOUND = 32;
constexpr HINSTANCE kShellSuccess = 42;

struct ShellRequest {
    HWND owner = 0;
    QString verb;
    QString file;
    QString parameters;
    QString directory;
    int showCmd = SW_SHOWNORMAL;
};

class IShellExecutor {
public:
    virtual ~IShellExecutor() = default;
    virtual HINSTANCE Execute(const ShellRequest& request) = 0;
};

// Installs the executor that carries out every ShellExecuteA; nullptr restores
// the real one. Not owned.
void SetShellExecutor(IShellExecutor* executor);
IShellExecutor* ShellExecutor(); // nullptr while the real one works

// The texts are in the active code page; null pointers count as empty texts.
HINSTANCE ShellExecuteA(HWND hWnd, LPCSTR lpVerb, LPCSTR lpFile, LPCSTR lpParameters,
                        LPCSTR lpDirectory, int nShowCmd);

} // namespace zrv::desktop
