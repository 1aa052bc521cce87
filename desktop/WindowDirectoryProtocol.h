#pragma once

// What editor processes say to each other about their windows: each one
// listens on a local socket named after its process id in a private folder
// of the user's runtime folder.

#include "desktop/WindowHandles.h"

#include <optional>
#include <QByteArray>
#include <QString>
#include <sys/types.h>
#include <vector>

class QIODevice;

namespace zrv::desktop::protocol {

enum class Request : quint8 { ListWindows = 1, Activate = 2 };

// The private folder in $XDG_RUNTIME_DIR, else in the temporary folder
// (/tmp unless $TMPDIR names another), created with mode 0700 on first use;
// empty when no safe folder can be had (one owned by someone else, a symbolic
// link, one open to others).
QString Folder();
QString SocketPath(const QString& folder, pid_t pid);
// The process id of a socket file's name, or 0 for any other name.
pid_t ProcessOfSocketName(const QString& fileName);

QByteArray EncodeRequest(Request request, HWND hWnd);
QByteArray EncodeWindows(const std::vector<WindowEntry>& windows);
QByteArray EncodeAccepted(bool accepted);

// Each decoder takes one whole message from the device. An incomplete one
// (more bytes may follow) is left unread; a corrupt one ends the talk.
enum class DecodeState { Complete, Incomplete, Corrupt };

template <typename T> struct Decoded {
    DecodeState state = DecodeState::Incomplete;
    T value{};
    bool complete() const { return state == DecodeState::Complete; }
};

struct RequestMessage {
    Request request = Request::ListWindows;
    HWND hWnd = 0;
};
Decoded<RequestMessage> DecodeRequest(QIODevice& device);
Decoded<std::vector<WindowEntry>> DecodeWindows(QIODevice& device);
Decoded<bool> DecodeAccepted(QIODevice& device);

} // namespace zrv::desktop::protocol
