// A stand-in editor process for the directory tests: one registered window
// with the caption and class given on the command line. It reports on
// standard output and takes commands on standard input:
//   out: "ready <handle>", "state <0|1|2>", "active", "title"
//   in:  "title <text>", "minimize", "quit"

#include "desktop/ScreenMetrics.h"
#include "desktop/WindowHandles.h"

#include <iostream>
#include <QApplication>
#include <QEvent>
#include <QSocketNotifier>
#include <QWidget>
#include <string>
#include <unistd.h>

using namespace zrv::desktop;

namespace {

void Say(const std::string& line)
{
    std::cout << line << std::endl;
}

class Reporter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowActivate)
            Say("active");
        else if (event->type() == QEvent::WindowStateChange)
            Say("state " + std::to_string(WindowStateOf(*window)));
        return false;
    }
};

void Obey(QWidget& window, const std::string& line)
{
    if (line.rfind("title ", 0) == 0) {
        window.setWindowTitle(QString::fromStdString(line.substr(6)));
        Say("title");
    } else if (line == "minimize") {
        window.showMinimized();
    } else if (line == "quit") {
        QCoreApplication::quit();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    QWidget window;
    window.resize(320, 200);
    window.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    Reporter reporter;
    window.installEventFilter(&reporter);
    const HWND hWnd = RegisterWindow(&window, QString::fromLocal8Bit(argv[2]));
    window.show();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, static_cast<size_t>(got));
        for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            Obey(window, pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    });
    Say("ready " + std::to_string(hWnd));
    return app.exec();
}
