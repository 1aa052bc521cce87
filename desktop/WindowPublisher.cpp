#include "desktop/WindowPublisher.h"

#include "desktop/EditorWindowDirectory.h"
#include "desktop/Logging.h"
#include "desktop/WindowDirectoryProtocol.h"

#include <algorithm>
#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <unistd.h>

namespace zrv::desktop {

namespace {

bool IsRegistered(HWND hWnd)
{
    const auto windows = RegisteredWindows();
    return std::any_of(windows.begin(), windows.end(),
                       [hWnd](const WindowEntry& window) { return window.handle == hWnd; });
}

QByteArray Reply(const protocol::RequestMessage& request)
{
    if (request.request == protocol::Request::ListWindows)
        return protocol::EncodeWindows(RegisteredWindows());
    const HWND hWnd = request.hWnd;
    const bool known = IsRegistered(hWnd);
    if (known) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [hWnd] { BringWindowToFront(hWnd); },
            Qt::QueuedConnection);
    }
    return protocol::EncodeAccepted(known);
}

void Serve(QLocalSocket* socket)
{
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        const auto request = protocol::DecodeRequest(*socket);
        if (request.state == protocol::DecodeState::Corrupt)
            socket->abort(); // not one of ours
        if (!request.complete())
            return;
        socket->write(Reply(request.value));
        socket->disconnectFromServer();
    });
}

} // namespace

WindowPublisher::WindowPublisher(QObject* parent) : QThread(parent) {}

WindowPublisher::~WindowPublisher()
{
    quit();
    wait();
}

void WindowPublisher::EnsureStarted()
{
    static QPointer<WindowPublisher> publisher;
    QCoreApplication* const app = QCoreApplication::instance();
    if (publisher || !app)
        return;
    publisher = new WindowPublisher(app);
    publisher->start();
    publisher->m_listening.acquire();
}

void WindowPublisher::run()
{
    const QString folder = protocol::Folder();
    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!folder.isEmpty()) {
        const QString path = protocol::SocketPath(folder, getpid());
        QLocalServer::removeServer(path); // left by an earlier process with our id
        server.listen(path);
    }
    m_listening.release();
    if (!server.isListening()) {
        qCWarning(lcDesktop) << "other editors cannot find this one's windows:"
                             << (folder.isEmpty() ? QStringLiteral("no runtime folder")
                                                  : server.errorString());
        return;
    }
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&server] {
        while (QLocalSocket* socket = server.nextPendingConnection())
            Serve(socket);
    });
    exec();
    server.close();
}

} // namespace zrv::desktop
