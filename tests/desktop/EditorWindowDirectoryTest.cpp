#include "desktop/EditorWindowDirectory.h"

#include "desktop/WindowDirectoryProtocol.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QWidget>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace zrv::desktop;

namespace {

const QString kClass = QStringLiteral("ThunderRT6FormDC");

// Another editor process with one window (EditorWindowHelper).
class OtherEditor final {
public:
    OtherEditor(const QString& caption, const QString& windowClass = kClass)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(ZRV_EDITOR_WINDOW_HELPER), {caption, windowClass});
        const std::string ready = NextLine();
        if (ready.rfind("ready ", 0) == 0)
            m_hWnd = static_cast<HWND>(std::stoul(ready.substr(6)));
    }
    ~OtherEditor()
    {
        if (m_process.state() != QProcess::NotRunning) {
            kill(pid(), SIGCONT);
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    OtherEditor(const OtherEditor&) = delete;
    OtherEditor& operator=(const OtherEditor&) = delete;

    HWND hWnd() const { return m_hWnd; }
    pid_t pid() const { return static_cast<pid_t>(m_process.processId()); }

    void Send(const std::string& command)
    {
        m_process.write((command + "\n").c_str());
        m_process.waitForBytesWritten(1000);
    }

    // Reads reports until `line` comes; false when it does not within 5 s.
    bool WaitFor(const std::string& line)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000) {
            if (NextLine() == line)
                return true;
        }
        return false;
    }

    void Kill()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    std::string NextLine()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000))
                return {};
        }
        return m_process.readLine().trimmed().toStdString();
    }

    QProcess m_process;
    HWND m_hWnd = 0;
};

struct Seen {
    HWND hWnd;
    std::string caption;
    std::string windowClass;
};

// The walk of the editor: first child of the desktop, then each next window.
std::vector<Seen> Walk()
{
    std::vector<Seen> seen;
    for (HWND hWnd = GetWindow(GetDesktopWindow(), GW_CHILD); hWnd != 0;
         hWnd = GetWindow(hWnd, GW_HWNDNEXT)) {
        char caption[256] = {};
        char windowClass[256] = {};
        GetWindowTextA(hWnd, caption, sizeof caption);
        GetClassNameA(hWnd, windowClass, sizeof windowClass);
        seen.push_back({hWnd, caption, windowClass});
        if (seen.size() > 100)
            break;
    }
    return seen;
}

const Seen* Lookup(const std::vector<Seen>& seen, HWND hWnd)
{
    for (const Seen& window : seen) {
        if (window.hWnd == hWnd)
            return &window;
    }
    return nullptr;
}

class DirectoryTest : public testing::Test {
protected:
    void TearDown() override { EditorWindowDirectory::SetTimeout(std::chrono::milliseconds(300)); }
};

TEST_F(DirectoryTest, walkMeetsOtherEditorsWindowsAndOurOwn)
{
    QWidget own;
    own.setWindowTitle(QStringLiteral("Zorva Fortune Editor"));
    const HWND ownHandle = RegisterWindow(&own, kClass);
    OtherEditor first(QStringLiteral("Zorva Fortune Editor - abc"));
    OtherEditor second(QStringLiteral("Zorva Fortune Editor - ABCD"), QStringLiteral("Dialog"));
    ASSERT_NE(first.hWnd(), 0u);
    ASSERT_NE(second.hWnd(), 0u);
    EXPECT_EQ(ProcessOfWindow(first.hWnd()), static_cast<uint32_t>(first.pid()));

    const std::vector<Seen> seen = Walk();
    const Seen* a = Lookup(seen, first.hWnd());
    const Seen* b = Lookup(seen, second.hWnd());
    const Seen* mine = Lookup(seen, ownHandle);
    ASSERT_TRUE(a && b && mine);
    EXPECT_EQ(a->caption, "Zorva Fortune Editor - abc");
    EXPECT_EQ(a->windowClass, "ThunderRT6FormDC");
    EXPECT_EQ(b->caption, "Zorva Fortune Editor - ABCD");
    EXPECT_EQ(b->windowClass, "Dialog");
    EXPECT_EQ(mine->caption, "Zorva Fortune Editor");
}

TEST_F(DirectoryTest, captionFollowsTheOtherWindowsTitle)
{
    OtherEditor other(QStringLiteral("Zorva Fortune Editor"));
    other.Send("title Zorva Fortune Editor - Quotes");
    ASSERT_TRUE(other.WaitFor("title"));
    char caption[256] = {};
    EXPECT_EQ(GetWindowTextA(other.hWnd(), caption, sizeof caption), 29);
    EXPECT_STREQ(caption, "Zorva Fortune Editor - Quotes");
}

TEST_F(DirectoryTest, windowTextIsExactAndCutToTheBuffer)
{
    OtherEditor other(QStringLiteral("Zorva Fortune Editor - ABC"));
    char small[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetWindowTextA(other.hWnd(), small, 5), 4);
    EXPECT_STREQ(small, "Zorv");
    char full[256] = {};
    GetWindowTextA(other.hWnd(), full, sizeof full);
    EXPECT_STREQ(full, "Zorva Fortune Editor - ABC"); // letter case as it is
    char windowClass[4] = {};
    EXPECT_EQ(GetClassNameA(other.hWnd(), windowClass, sizeof windowClass), 3);
    EXPECT_STREQ(windowClass, "Thu");
}

TEST_F(DirectoryTest, unknownWindowsGiveNothing)
{
    char text[16] = {'x'};
    EXPECT_EQ(GetWindowTextA(getpid() << kWindowSlotBits | kWindowSlotMask, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(GetClassNameA(0, text, sizeof text), 0);
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_HWNDNEXT), 0u);
    EXPECT_EQ(GetWindow(GetDesktopWindow(), 4), 0u);
    EXPECT_FALSE(SetForegroundWindow(getpid() << kWindowSlotBits | kWindowSlotMask));
}

TEST_F(DirectoryTest, activationRestoresAndActivatesTheOtherWindow)
{
    OtherEditor other(QStringLiteral("Zorva Fortune Editor - abc"));
    other.Send("minimize");
    ASSERT_TRUE(other.WaitFor("state 1"));
    SetActiveWindow(other.hWnd());
    EXPECT_TRUE(SetForegroundWindow(other.hWnd()));
    EXPECT_TRUE(other.WaitFor("state 0"));
    EXPECT_TRUE(other.WaitFor("active"));
}

TEST_F(DirectoryTest, killedEditorIsSkippedAndItsEntryRemoved)
{
    OtherEditor dead(QStringLiteral("Zorva Fortune Editor - gone"));
    OtherEditor alive(QStringLiteral("Zorva Fortune Editor - here"));
    const QString entry = protocol::SocketPath(protocol::Folder(), dead.pid());
    const HWND deadHandle = dead.hWnd();
    dead.Kill();
    ASSERT_TRUE(QFile::exists(entry)); // a killed process leaves its entry behind

    const std::vector<Seen> seen = Walk();
    EXPECT_EQ(Lookup(seen, deadHandle), nullptr);
    EXPECT_NE(Lookup(seen, alive.hWnd()), nullptr);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(SetForegroundWindow(deadHandle));
}

// A stop reaches the threads of a process one by one: wait until all are stopped.
bool StopAndWait(pid_t pid)
{
    if (kill(pid, SIGSTOP) != 0)
        return false;
    QElapsedTimer timer;
    timer.start();
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    while (timer.elapsed() < 5000) {
        bool allStopped = true;
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile stat(tasks.filePath(task) + "/stat");
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = stat.readAll();
            const qsizetype close = line.lastIndexOf(')');
            allStopped = allStopped && close > 0 && line.size() > close + 2 &&
                         (line[close + 2] == 'T' || line[close + 2] == 't');
        }
        if (allStopped)
            return true;
        usleep(5000);
    }
    return false;
}

TEST_F(DirectoryTest, stoppedEditorIsSkippedAfterTheTimeout)
{
    OtherEditor stopped(QStringLiteral("Zorva Fortune Editor - stopped"));
    OtherEditor alive(QStringLiteral("Zorva Fortune Editor - alive"));
    ASSERT_TRUE(StopAndWait(stopped.pid()));

    QElapsedTimer timer;
    timer.start();
    const std::vector<Seen> seen = Walk();
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(Lookup(seen, stopped.hWnd()), nullptr);
    EXPECT_NE(Lookup(seen, alive.hWnd()), nullptr);

    timer.restart();
    EXPECT_FALSE(SetForegroundWindow(stopped.hWnd()));
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_LT(timer.elapsed(), 1500);
    kill(stopped.pid(), SIGCONT);
}

// A process that takes one question on an editor's socket and dies without
// answering.
pid_t StartDyingListener(const QString& folder)
{
    const QByteArray base = QFile::encodeName(folder) + "/editor-";
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        char* out = address.sun_path;
        for (const char c : base)
            *out++ = c;
        char digits[16];
        int n = 0;
        for (pid_t self = getpid(); self > 0; self /= 10)
            digits[n++] = static_cast<char>('0' + self % 10);
        while (n > 0)
            *out++ = digits[--n];
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        if (bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(server, 1) != 0)
            _exit(1);
        [[maybe_unused]] const ssize_t wrote = write(ready[1], "r", 1);
        const int client = accept(server, nullptr, nullptr);
        char request[8];
        [[maybe_unused]] const ssize_t got = read(client, request, sizeof request);
        _exit(0);
    }
    close(ready[1]);
    char byte = 0;
    [[maybe_unused]] const ssize_t got = read(ready[0], &byte, 1);
    close(ready[0]);
    return pid;
}

TEST_F(DirectoryTest, editorDyingMidQuestionDoesNotHang)
{
    EditorWindowDirectory::SetTimeout(std::chrono::milliseconds(10000));
    const pid_t pid = StartDyingListener(protocol::Folder());
    ASSERT_GT(pid, 0);
    QElapsedTimer timer;
    timer.start();
    char caption[64] = {};
    EXPECT_EQ(GetWindowTextA(static_cast<HWND>(pid) << kWindowSlotBits | 1, caption, 64), 0);
    EXPECT_LT(timer.elapsed(), 3000);
    int status = 0;
    waitpid(pid, &status, 0);
}

} // namespace
