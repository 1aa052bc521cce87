#include "desktop/WindowDirectoryProtocol.h"

#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QWidget>
#include <sys/stat.h>
#include <unistd.h>

using namespace zrv::desktop;
namespace protocol = zrv::desktop::protocol;

namespace {

// Reads from a buffer holding the given bytes.
class Input final {
public:
    explicit Input(const QByteArray& bytes) : m_bytes(bytes), m_buffer(&m_bytes)
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
    const std::vector<WindowEntry> windows{{0x12345401, QStringLiteral("ThunderRT6FormDC"),
                                            QStringLiteral("Zorva Fortune Editor - ä\tb")},
                                           {0x12345402, QStringLiteral("Dialog"), QString()}};
    Input input(protocol::EncodeWindows(windows));
    const auto result = protocol::DecodeWindows(input.device());
    ASSERT_TRUE(result.complete());
    const std::vector<WindowEntry>* decoded = &result.value;
    ASSERT_EQ(decoded->size(), 2u);
    EXPECT_EQ((*decoded)[0].handle, 0x12345401u);
    EXPECT_EQ((*decoded)[0].caption, windows[0].caption);
    EXPECT_EQ((*decoded)[1].windowClass, QStringLiteral("Dialog"));
    EXPECT_TRUE((*decoded)[1].caption.isEmpty());
    EXPECT_EQ(input.left(), 0);
}

TEST(ProtocolMessages, incompleteMessagesAreLeftUnread)
{
    const QByteArray windows =
        protocol::EncodeWindows({{7, QStringLiteral("C"), QStringLiteral("T")}});
    const QByteArray request = protocol::EncodeRequest(protocol::Request::Activate, 99);
    for (qsizetype cut = 0; cut < windows.size(); ++cut) {
        Input input(windows.left(cut));
        EXPECT_EQ(protocol::DecodeWindows(input.device()).state, protocol::DecodeState::Incomplete)
            << cut;
        EXPECT_EQ(input.left(), cut) << cut;
    }
    for (qsizetype cut = 0; cut < request.size(); ++cut) {
        Input input(request.left(cut));
        EXPECT_EQ(protocol::DecodeRequest(input.device()).state, protocol::DecodeState::Incomplete)
            << cut;
        EXPECT_EQ(input.left(), cut) << cut;
    }
}

TEST(ProtocolMessages, requestsAndAnswersDecode)
{
    Input activate(protocol::EncodeRequest(protocol::Request::Activate, 0xABCDE401));
    const auto request = protocol::DecodeRequest(activate.device());
    ASSERT_TRUE(request.complete());
    EXPECT_EQ(request.value.request, protocol::Request::Activate);
    EXPECT_EQ(request.value.hWnd, 0xABCDE401u);

    Input unknown(QByteArray("\x09\0\0\0\0", 5));
    EXPECT_EQ(protocol::DecodeRequest(unknown.device()).state, protocol::DecodeState::Corrupt);

    for (const bool accepted : {true, false}) {
        Input answer(protocol::EncodeAccepted(accepted));
        const auto decoded = protocol::DecodeAccepted(answer.device());
        EXPECT_TRUE(decoded.complete());
        EXPECT_EQ(decoded.value, accepted);
    }
}

TEST(ProtocolMessages, corruptWindowListsAreRefused)
{
    Input absurdCount(QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_EQ(protocol::DecodeWindows(absurdCount.device()).state, protocol::DecodeState::Corrupt);
    // One window whose class claims an odd number of bytes of UTF-16.
    Input oddText(QByteArray("\0\0\0\x01"
                             "\0\0\x04\x01"
                             "\0\0\0\x03"
                             "abc",
                             15));
    EXPECT_EQ(protocol::DecodeWindows(oddText.device()).state, protocol::DecodeState::Corrupt);
}

TEST(ProtocolNames, socketNamesCarryTheProcessId)
{
    EXPECT_EQ(protocol::ProcessOfSocketName(QStringLiteral("editor-4242")), 4242);
    EXPECT_EQ(protocol::SocketPath(QStringLiteral("/run/x"), 17),
              QStringLiteral("/run/x/editor-17"));
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
        struct stat info {};
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
    protocol::Decoded<std::vector<WindowEntry>> answer;
    while (!(answer = protocol::DecodeWindows(asker)).complete() && asker.waitForReadyRead(1000)) {
    }
    ASSERT_TRUE(answer.complete());
    const std::vector<WindowEntry>* windows = &answer.value;
    ASSERT_FALSE(windows->empty());
    EXPECT_EQ(windows->back().handle, hWnd);
    EXPECT_EQ(windows->back().caption, QStringLiteral("still here"));
}

} // namespace
