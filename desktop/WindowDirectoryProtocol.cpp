#include "desktop/WindowDirectoryProtocol.h"

#include <cerrno>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv::desktop::protocol {

namespace {

constexpr quint32 kMaxWindows = 4096;
const QString kSocketPrefix = QStringLiteral("editor-");

bool IsPrivateFolder(const QByteArray& path)
{
    struct stat info {};
    if (lstat(path.constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

QByteArray FolderPath()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (!runtime.isEmpty() && stat(runtime.constData(), &info) == 0 && S_ISDIR(info.st_mode))
        return runtime + "/zorva-fortune";
    return QFile::encodeName(QDir::tempPath()) + "/zorva-fortune-" + QByteArray::number(getuid());
}

template <typename Write> QByteArray Encode(Write write)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    write(out);
    return bytes;
}

// Runs read inside a stream transaction: the bytes are consumed only when a
// whole message was there. read gives nullopt for a message it refuses.
template <typename Result, typename Read> Decoded<Result> Decode(QIODevice& device, Read read)
{
    QDataStream in(&device);
    in.setVersion(QDataStream::Qt_6_0);
    in.startTransaction();
    std::optional<Result> result = read(in);
    if (in.status() == QDataStream::ReadPastEnd) {
        in.rollbackTransaction();
        return {DecodeState::Incomplete, {}};
    }
    if (!result || in.status() != QDataStream::Ok) {
        in.abortTransaction();
        return {DecodeState::Corrupt, {}};
    }
    in.commitTransaction();
    return {DecodeState::Complete, std::move(*result)};
}

} // namespace

QString Folder()
{
    const QByteArray path = FolderPath();
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return IsPrivateFolder(path) ? QString::fromLocal8Bit(path) : QString();
}

QString SocketPath(const QString& folder, pid_t pid)
{
    return folder + u'/' + kSocketPrefix + QString::number(pid);
}

pid_t ProcessOfSocketName(const QString& fileName)
{
    if (!fileName.startsWith(kSocketPrefix))
        return 0;
    bool ok = false;
    const int pid = fileName.mid(kSocketPrefix.size()).toInt(&ok);
    return ok && pid > 0 ? pid : 0;
}

QByteArray EncodeRequest(Request request, HWND hWnd)
{
    return Encode([&](QDataStream& out) { out << static_cast<quint8>(request) << quint32{hWnd}; });
}

QByteArray EncodeWindows(const std::vector<WindowEntry>& windows)
{
    return Encode([&](QDataStream& out) {
        out << static_cast<quint32>(windows.size());
        for (const WindowEntry& window : windows)
            out << quint32{window.handle} << window.windowClass << window.caption;
    });
}

QByteArray EncodeAccepted(bool accepted)
{
    return Encode([&](QDataStream& out) { out << static_cast<quint8>(accepted ? 1 : 0); });
}

Decoded<RequestMessage> DecodeRequest(QIODevice& device)
{
    return Decode<RequestMessage>(device, [](QDataStream& in) -> std::optional<RequestMessage> {
        quint8 request = 0;
        quint32 hWnd = 0;
        in >> request >> hWnd;
        if (request != static_cast<quint8>(Request::ListWindows) &&
            request != static_cast<quint8>(Request::Activate))
            return std::nullopt;
        return RequestMessage{static_cast<Request>(request), hWnd};
    });
}

Decoded<std::vector<WindowEntry>> DecodeWindows(QIODevice& device)
{
    return Decode<std::vector<WindowEntry>>(
        device, [](QDataStream& in) -> std::optional<std::vector<WindowEntry>> {
            quint32 count = 0;
            in >> count;
            if (in.status() != QDataStream::Ok || count > kMaxWindows)
                return std::nullopt;
            std::vector<WindowEntry> windows(count);
            for (WindowEntry& window : windows) {
                quint32 hWnd = 0;
                in >> hWnd >> window.windowClass >> window.caption;
                window.handle = hWnd;
            }
            return windows;
        });
}

Decoded<bool> DecodeAccepted(QIODevice& device)
{
    return Decode<bool>(device, [](QDataStream& in) -> std::optional<bool> {
        quint8 accepted = 0;
        in >> accepted;
        return accepted != 0;
    });
}

} // namespace zrv::desktop::protocol
