#include "desktop/EditorWindowDirectory.h"

#include "desktop/Logging.h"
#include "desktop/WindowDirectoryProtocol.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QWidget>
#include <unistd.h>

namespace zrv::desktop {

namespace {

std::chrono::milliseconds g_timeout{300};

bool ProcessIsGone(pid_t pid)
{
    return kill(pid, 0) != 0 && errno == ESRCH;
}

template <typename Result> using Decoder = std::function<protocol::Decoded<Result>(QIODevice&)>;

// One question to another editor, answered within the timeout or not at all.
template <typename Result>
std::optional<Result> Ask(pid_t pid, const QByteArray& request, const Decoder<Result>& decode)
{
    const QString folder = protocol::Folder();
    if (folder.isEmpty())
        return std::nullopt;
    const QString path = protocol::SocketPath(folder, pid);
    const QDeadlineTimer deadline(g_timeout);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        const auto error = socket.error();
        if (error == QLocalSocket::ConnectionRefusedError ||
            error == QLocalSocket::ServerNotFoundError) {
            QFile::remove(path); // nobody listens there any more
            qCInfo(lcDesktop) << "editor" << pid << "is gone; its entry" << path << "was removed";
        } else {
            qCWarning(lcDesktop) << "editor" << pid << "skipped:" << socket.errorString();
        }
        return std::nullopt;
    }
    socket.write(request);
    while (true) {
        auto answer = decode(socket);
        if (answer.complete())
            return std::move(answer.value);
        if (answer.state == protocol::DecodeState::Corrupt) {
            qCWarning(lcDesktop) << "editor" << pid << "skipped: its answer is not understood";
            return std::nullopt;
        }
        if (deadline.hasExpired() ||
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            qCWarning(lcDesktop) << "editor" << pid << "skipped: no answer within"
                                 << g_timeout.count() << "ms";
            return std::nullopt;
        }
    }
}

void CopyOut(const QString& text, char* buffer, int maxCount)
{
    if (!buffer || maxCount <= 0)
        return;
    const QByteArray bytes = text.toLocal8Bit();
    qsizetype length = std::min<qsizetype>(bytes.size(), maxCount - 1);
    // Never leave half of a multi-byte character behind.
    while (length > 0 && length < bytes.size() &&
           (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(buffer, bytes.constData(), static_cast<size_t>(length));
    buffer[length] = '\0';
}

int CopyOutLength(const std::optional<WindowEntry>& window, const QString WindowEntry::*field,
                  char* buffer, int maxCount)
{
    if (!window) {
        CopyOut({}, buffer, maxCount);
        return 0;
    }
    CopyOut((*window).*field, buffer, maxCount);
    return maxCount > 0 ? static_cast<int>(std::strlen(buffer)) : 0;
}

std::optional<HWND> FirstWindowFrom(const std::vector<pid_t>& editors, pid_t after)
{
    for (const pid_t pid : editors) {
        if (pid <= after)
            continue;
        const auto windows = EditorWindowDirectory::WindowsOf(pid);
        if (windows && !windows->empty())
            return windows->front().handle;
    }
    return std::nullopt;
}

} // namespace

std::vector<pid_t> EditorWindowDirectory::Editors()
{
    std::vector<pid_t> editors{getpid()};
    const QString folder = protocol::Folder();
    if (!folder.isEmpty()) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList(QDir::System | QDir::Files | QDir::Hidden)) {
            const pid_t pid = protocol::ProcessOfSocketName(name);
            if (pid == 0 || pid == getpid())
                continue;
            if (ProcessIsGone(pid)) {
                QFile::remove(dir.filePath(name));
                continue;
            }
            editors.push_back(pid);
        }
    }
    std::sort(editors.begin(), editors.end());
    return editors;
}

std::optional<std::vector<WindowEntry>> EditorWindowDirectory::WindowsOf(pid_t pid)
{
    if (pid == getpid())
        return RegisteredWindows();
    return Ask<std::vector<WindowEntry>>(
        pid, protocol::EncodeRequest(protocol::Request::ListWindows, 0), &protocol::DecodeWindows);
}

std::optional<WindowEntry> EditorWindowDirectory::Find(HWND hWnd)
{
    const auto windows = WindowsOf(static_cast<pid_t>(ProcessOfWindow(hWnd)));
    if (!windows)
        return std::nullopt;
    for (const WindowEntry& window : *windows) {
        if (window.handle == hWnd)
            return window;
    }
    return std::nullopt;
}

bool EditorWindowDirectory::Activate(HWND hWnd)
{
    const auto pid = static_cast<pid_t>(ProcessOfWindow(hWnd));
    if (pid == getpid())
        return BringWindowToFront(hWnd);
    return Ask<bool>(pid, protocol::EncodeRequest(protocol::Request::Activate, hWnd),
                     &protocol::DecodeAccepted)
        .value_or(false);
}

std::chrono::milliseconds EditorWindowDirectory::Timeout()
{
    return g_timeout;
}

void EditorWindowDirectory::SetTimeout(std::chrono::milliseconds timeout)
{
    g_timeout = timeout;
}

bool BringWindowToFront(HWND hWnd)
{
    QWidget* const window = WindowFromHandle(hWnd);
    if (!window)
        return false;
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
    return true;
}

HWND GetDesktopWindow()
{
    // Process 0 owns no window of ours; its first slot stands for the desktop.
    return 1;
}

HWND GetWindow(HWND hWnd, UINT cmd)
{
    if ((cmd == GW_CHILD && hWnd == GetDesktopWindow()) || cmd == GW_HWNDFIRST)
        return FirstWindowFrom(EditorWindowDirectory::Editors(), 0).value_or(0);
    if (cmd != GW_HWNDNEXT || hWnd == GetDesktopWindow())
        return 0;
    const auto pid = static_cast<pid_t>(ProcessOfWindow(hWnd));
    if (const auto windows = EditorWindowDirectory::WindowsOf(pid)) {
        const auto it = std::find_if(windows->begin(), windows->end(),
                                     [hWnd](const WindowEntry& w) { return w.handle == hWnd; });
        if (it != windows->end() && std::next(it) != windows->end())
            return std::next(it)->handle;
    }
    return FirstWindowFrom(EditorWindowDirectory::Editors(), pid).value_or(0);
}

int GetWindowTextA(HWND hWnd, char* buffer, int maxCount)
{
    return CopyOutLength(EditorWindowDirectory::Find(hWnd), &WindowEntry::caption, buffer,
                         maxCount);
}

int GetClassNameA(HWND hWnd, char* buffer, int maxCount)
{
    return CopyOutLength(EditorWindowDirectory::Find(hWnd), &WindowEntry::windowClass, buffer,
                         maxCount);
}

HWND SetActiveWindow(HWND hWnd)
{
    const HWND previous = HandleFromWindow(QApplication::activeWindow());
    return EditorWindowDirectory::Activate(hWnd) ? previous : 0;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    return EditorWindowDirectory::Activate(hWnd) ? TRUE : FALSE;
}

void DoEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace zrv::desktop
