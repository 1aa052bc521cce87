#include "desktop/WindowDirectoryProtocol.h"
#include "tests/support/TempHome.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QWidget>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace zrv::desktop;
namespace protocol = zrv::desktop::protocol;

namespace {

// Reads from a buffer holding the given bytes.
class Input final {
public:
    explicit Input(const QByteArray& bytes)
        : m_bytes(bytes)
        , m_buffer(&m_bytes)
    {
        m_buffer.open(QIODevice::ReadOnly);
    }
    QBuffer& device() { return m_buffer; }
    qint64 left() const { return m_buffer.bytesAvailable(); }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
};

TEST(ProtocolMessages, windowsSurviveTheRoundTrip)
{
    const std::vector<WindowEntry> windows{
        {0x12345401, QStringLiteral("ThunderRT6FormDC"), QStringLiteral("Zorva Fortune Editor - ä\tb")},
        {0x12345402, QStringLiteral("Dialog"), QString()}};
    Input input(protocol::EncodeWindows(windows));
    const auto decoded = protocol::DecodeWindows(input.device());
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->size(), 2u);
    EXPECT_EQ((*decoded)[0].handle, 0x12345401u);
    EXPECT_EQ((*decoded)[0].caption, windows[0].caption);
    EXPECT_EQ((*decoded)[1].windowClass, QStringLiteral("Dialog"));
    EXPECT_TRUE((*decoded)[1].caption.isEmpty());
    EXPECT_EQ(input.left(), 0);
}

TEST(ProtocolMessages, incompleteMessagesAreLeftUnread)
{
    const QByteArray windows = protocol::EncodeWindows({{7, QStringLiteral("C"), QStringLiteral("T")}});
    const QByteArray request = protocol::EncodeRequest(protocol::Request::Activate, 99);
    for (qsizetype cut = 0; cut < windows.size(); ++cut) {
        Input input(windows.left(cut));
        EXPECT_FALSE(protocol::DecodeWindows(input.device()).has_value()) << cut;
        EXPECT_EQ(input.left(), cut) << cut;
    }
    for (qsizetype cut = 0; cut < request.size(); ++cut) {
        Input input(request.left(cut));
        EXPECT_FALSE(protocol::DecodeRequest(input.device()).has_value()) << cut;
        EXPECT_EQ(input.left(), cut) << cut;
    }
}

TEST(ProtocolMessages, requestsAndAnswersDecode)
{
    Input activate(protocol::EncodeRequest(protocol::Request::Activate, 0xABCDE401));
    const auto request = protocol::DecodeRequest(activate.device());
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->request, protocol::Request::Activate);
    EXPECT_EQ(request->hWnd, 0xABCDE401u);

    Input unknown(QByteArray("\x09\0\0\0\0", 5));
    EXPECT_FALSE(protocol::DecodeRequest(unknown.device()).has_value());

    for (const bool accepted : {true, false}) {
        Input answer(protocol::EncodeAccepted(accepted));
        EXPECT_EQ(protocol::DecodeAccepted(answer.device()), accepted);
    }
}

TEST(ProtocolMessages, absurdWindowCountIsRefused)
{
    Input input(QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_FALSE(protocol::DecodeWindows(input.device()).has_value());
}

TEST(ProtocolNames, socketNamesCarryTheProcessId)
{
    EXPECT_EQ(protocol::ProcessOfSocketName(QStringLiteral("editor-4242")), 4242);
    EXPECT_EQ(protocol::SocketPath(QStringLiteral("/run/x"), 17), QStringLiteral("/run/x/editor-17"));
    for (const char* other : {"editor-", "editor-x1", "editor--3", "other-12", "editor-0"})
        EXPECT_EQ(protocol::ProcessOfSocketName(QString::fromLatin1(other)), 0) << other;
}

// Points XDG_RUNTIME_DIR (or, without it, TMPDIR) at a fresh folder for one test.
class FolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        m_savedTmp = qgetenv("TMPDIR");
        base = QString::fromStdString(zrv::test::MakeTempDir("runtime"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base));
    }
    void TearDown() override
    {
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
        if (m_savedTmp.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_savedTmp);
    }

    static int Mode(const QString& path)
    {
        struct stat info{};
        lstat(QFile::encodeName(path).constData(), &info);
        return static_cast<int>(info.st_mode & 0777);
    }

    QString base;

private:
    QByteArray m_savedRuntime;
    QByteArray m_savedTmp;
};

TEST_F(FolderTest, createdPrivateInTheRuntimeFolder)
{
    const QString folder = protocol::Folder();
    EXPECT_EQ(folder, base + "/zorva-fortune");
    EXPECT_EQ(Mode(folder), 0700);
    EXPECT_EQ(protocol::Folder(), folder);
}

TEST_F(FolderTest, withoutRuntimeFolderTheTemporaryFolderServes)
{
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(base));
    EXPECT_EQ(protocol::Folder(), base + "/zorva-fortune-" + QString::number(getuid()));
}

TEST_F(FolderTest, folderOpenToOthersOrLinkedIsRefused)
{
    ASSERT_EQ(mkdir(QFile::encodeName(base + "/zorva-fortune").constData(), 0755), 0);
    chmod(QFile::encodeName(base + "/zorva-fortune").constData(), 0755);
    EXPECT_TRUE(protocol::Folder().isEmpty());

    const QString elsewhere = QString::fromStdString(zrv::test::MakeTempDir("elsewhere"));
    rmdir(QFile::encodeName(base + "/zorva-fortune").constData());
    ASSERT_EQ(symlink(QFile::encodeName(elsewhere).constData(),
                      QFile::encodeName(base + "/zorva-fortune").constData()),
              0);
    EXPECT_TRUE(protocol::Folder().isEmpty());
}

TEST(Publisher, strangerWritingNonsenseIsCutOffWithoutHarm)
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("still here"));
    const HWND hWnd = RegisterWindow(&window, QStringLiteral("Form"));
    QLocalSocket socket;
    socket.connectToServer(protocol::SocketPath(protocol::Folder(), getpid()));
    ASSERT_TRUE(socket.waitForConnected(1000));
    socket.write(QByteArray(64, '\x7f'));
    socket.waitForBytesWritten(1000);
    QElapsedTimer timer;
    timer.start();
    while (socket.state() == QLocalSocket::ConnectedState && timer.elapsed() < 3000)
        socket.waitForReadyRead(100);
    EXPECT_EQ(socket.state(), QLocalSocket::UnconnectedState);
    EXPECT_EQ(socket.readAll(), QByteArray());

    // The publisher still answers proper questions.
    QLocalSocket asker;
    asker.connectToServer(protocol::SocketPath(protocol::Folder(), getpid()));
    ASSERT_TRUE(asker.waitForConnected(1000));
    asker.write(protocol::EncodeRequest(protocol::Request::ListWindows, 0));
    std::optional<std::vector<WindowEntry>> windows;
    while (!(windows = protocol::DecodeWindows(asker)) && asker.waitForReadyRead(1000)) {
    }
    ASSERT_TRUE(windows.has_value());
    ASSERT_FALSE(windows->empty());
    EXPECT_EQ(windows->back().handle, hWnd);
    EXPECT_EQ(windows->back().caption, QStringLiteral("still here"));
}

} // namespace
