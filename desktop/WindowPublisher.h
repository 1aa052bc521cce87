#pragma once

#include <QSemaphore>
#include <QThread>

namespace zrv::desktop {

// Answers other editor processes' questions about this process's windows
// from a thread of its own, so a busy or modal GUI thread still answers.
// Activation requests are handed to the GUI thread.
class WindowPublisher final : public QThread {
public:
    // Starts the process's publisher once an application object exists and
    // returns when it listens; it ends with the application object.
    static void EnsureStarted();

    ~WindowPublisher() override;
    WindowPublisher(const WindowPublisher&) = delete;
    WindowPublisher& operator=(const WindowPublisher&) = delete;

protected:
    void run() override;

private:
    explicit WindowPublisher(QObject* parent);

    QSemaphore m_listening; // released once the socket listens, or cannot
};

} // namespace zrv::desktop
