#pragma once

#include "desktop/WindowHandles.h"

#include <cstdint>
#include <QObject>

// Watches the clipboard on behalf of one window: joins the clipboard viewer
// chain, receives the window's two chain messages through ZrvSubTm and raises
// ClipboardChanged for each content notification. It leaves the chain when
// it is destroyed.
class CClipboardViewer final : public QObject, public zrv::desktop::IZorvaSubClass {
    Q_OBJECT
public:
    explicit CClipboardViewer(QObject* parent = nullptr);
    ~CClipboardViewer() override;
    CClipboardViewer(const CClipboardViewer&) = delete;
    CClipboardViewer& operator=(const CClipboardViewer&) = delete;

    // Joins the chain for window hWndA, leaving it first when already in it.
    // A window handle of 0 leaves the watcher inactive.
    void InitClipboardChangeNotification(zrv::desktop::HWND& hWndA);
    void StopClipboardChangeNotification();

    zrv::desktop::LRESULT WindowProc(zrv::desktop::HWND hWnd, UINT iMsg,
                                     zrv::desktop::WPARAM wParam,
                                     zrv::desktop::LPARAM lParam) override;
    int32_t MsgResponse() const override;
    void MsgResponse(int32_t emrA) override;

    bool Active() const { return mbActive; }
    zrv::desktop::HWND NextViewer() const { return mhWndNext; }

signals:
    void ClipboardChanged();

private:
    zrv::desktop::HWND mhWnd = 0;
    zrv::desktop::HWND mhWndNext = 0;
    bool mbActive = false;
    int32_t mlMsgResponse = 0;
};
