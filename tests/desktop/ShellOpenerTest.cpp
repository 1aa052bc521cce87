#include "desktop/ShellOpener.h"

#include "desktop/ProcessLauncher.h"
#include "tests/support/ScriptedShell.h"
#include "tests/support/TempHome.h"

#include <cerrno>
#include <exception>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <new>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using namespace zrv::desktop;

namespace {

// Records what would be started and answers with a prepared result.
class FakeLauncher final : public IProcessLauncher {
public:
    struct Started {
        QString program;
        QStringList arguments;
        QString folder;
        std::chrono::milliseconds wait;
    };

    LaunchResult Start(const QString& program, const QStringList& arguments, const QString& folder,
                       std::chrono::milliseconds wait) override
    {
        started.push_back({program, arguments, folder, wait});
        if (failure)
            std::rethrow_exception(failure);
        return result;
    }

    LaunchResult result{0, 0};
    std::exception_ptr failure; // thrown by Start when set
    std::vector<Started> started;
};

void WriteFile(const QString& path, const QByteArray& bytes, int mode)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
}

class ShellOpenerTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = QString::fromStdString(zrv::test::MakeTempDir("shell"));
        WriteFile(folder + "/guide.html", "<html></html>", 0644);
        WriteFile(folder + "/tool.sh", "#!/bin/sh\nexit 0\n", 0755);
        QDir(folder).mkdir("sub");
    }

    HINSTANCE Open(const QString& file, const QString& directory = {},
                   const QString& parameters = {}, const QString& verb = QStringLiteral("open"))
    {
        ShellOpener opener(launcher);
        return opener.Execute({0, verb, file, parameters, directory, SW_SHOWNORMAL});
    }

    QString folder;
    FakeLauncher launcher;
};

TEST_F(ShellOpenerTest, webAddressGoesToTheDesktopOpener)
{
    EXPECT_EQ(Open(QStringLiteral("https://www.example.com/guide")), kShellSuccess);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(launcher.started[0].arguments, QStringList{"https://www.example.com/guide"});
    EXPECT_EQ(launcher.started[0].wait, ShellOpener::kOpenerWait);
}

TEST_F(ShellOpenerTest, openerOutcomesMapToShellResults)
{
    struct Case {
        LaunchResult launch;
        HINSTANCE expected;
    };
    const Case cases[] = {
        {{0, 0}, kShellSuccess},
        {{0, std::nullopt}, kShellSuccess}, // still busy handing over: taken as started
        {{0, 1}, SE_ERR_NOASSOC},
        {{0, 2}, SE_ERR_FNF},
        {{0, 3}, SE_ERR_NOASSOC},
        {{0, 4}, SE_ERR_NOASSOC},
        {{ENOENT, std::nullopt}, SE_ERR_NOASSOC}, // no opener installed
        {{EACCES, std::nullopt}, SE_ERR_ACCESSDENIED},
        {{ENOMEM, std::nullopt}, SE_ERR_OOM},
        {{EIO, std::nullopt}, SE_ERR_OOM_ZERO},
    };
    for (const Case& c : cases) {
        launcher.result = c.launch;
        EXPECT_EQ(Open(folder + "/guide.html"), c.expected)
            << c.launch.error << " / " << c.launch.exitCode.value_or(-1);
    }
}

TEST_F(ShellOpenerTest, documentsAndFoldersOpenByTheirFullPath)
{
    EXPECT_EQ(Open(QStringLiteral("guide.html"), folder), kShellSuccess);
    EXPECT_EQ(Open(folder + "/sub"), kShellSuccess);
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[0].arguments, QStringList{folder + "/guide.html"});
    EXPECT_EQ(launcher.started[1].arguments, QStringList{folder + "/sub"});
}

TEST_F(ShellOpenerTest, missingTargetsFailWithoutStartingAnything)
{
    EXPECT_EQ(Open(folder + "/absent.html"), SE_ERR_FNF);
    EXPECT_EQ(Open(folder + "/nowhere/absent.html"), SE_ERR_PNF);
    EXPECT_EQ(Open(QStringLiteral("guide.html"), folder + "/nowhere"), SE_ERR_PNF);
    EXPECT_EQ(Open({}), SE_ERR_FNF);
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(ShellOpenerTest, unknownVerbHasNoAssociation)
{
    EXPECT_EQ(Open(folder + "/guide.html", {}, {}, QStringLiteral("print")), SE_ERR_NOASSOC);
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_EQ(Open(folder + "/guide.html", {}, {}, QStringLiteral("OPEN")), kShellSuccess);
    EXPECT_EQ(Open(folder + "/guide.html", {}, {}, {}), kShellSuccess);
}

TEST_F(ShellOpenerTest, programStartsItselfWithItsParametersAndFolder)
{
    EXPECT_EQ(Open(folder + "/tool.sh", folder + "/sub", QStringLiteral("-x \"two words\"")),
              kShellSuccess);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, folder + "/tool.sh");
    EXPECT_EQ(launcher.started[0].arguments, (QStringList{"-x", "two words"}));
    EXPECT_EQ(launcher.started[0].folder, folder + "/sub");
    EXPECT_EQ(launcher.started[0].wait.count(), 0);
}

TEST_F(ShellOpenerTest, programFoundInPathByItsBareName)
{
    const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));
    ASSERT_FALSE(sh.isEmpty());
    EXPECT_EQ(Open(QStringLiteral("sh")), kShellSuccess);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, sh);
}

TEST_F(ShellOpenerTest, programStartFailuresMapToShellResults)
{
    launcher.result = {ENOEXEC, std::nullopt};
    EXPECT_EQ(Open(folder + "/tool.sh"), SE_ERR_BAD_FORMAT);
    launcher.result = {EACCES, std::nullopt};
    EXPECT_EQ(Open(folder + "/tool.sh"), SE_ERR_ACCESSDENIED);
}

TEST_F(ShellOpenerTest, unreadableDocumentIsAccessDenied)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    WriteFile(folder + "/secret.txt", "x", 0000);
    EXPECT_EQ(Open(folder + "/secret.txt"), SE_ERR_ACCESSDENIED);
    EXPECT_TRUE(launcher.started.empty());
}

// The real launcher, with harmless programs only.
TEST_F(ShellOpenerTest, realLauncherReportsExitStartErrorsAndFolder)
{
    ProcessLauncher real;
    const auto wait = std::chrono::milliseconds(5000);
    EXPECT_EQ(real.Start("sh", {"-c", "exit 3"}, {}, wait).exitCode, 3);
    EXPECT_EQ(real.Start(folder + "/absent", {}, {}, wait).error, ENOENT);

    const LaunchResult inFolder =
        real.Start("sh", {"-c", "pwd > where.txt"}, folder + "/sub", wait);
    EXPECT_EQ(inFolder.exitCode, 0);
    QFile where(folder + "/sub/where.txt");
    ASSERT_TRUE(where.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(where.readAll()).trimmed(),
              QDir(folder + "/sub").canonicalPath());

    const LaunchResult busy = real.Start("sleep", {"0.5"}, {}, std::chrono::milliseconds(50));
    EXPECT_EQ(busy.error, 0);
    EXPECT_FALSE(busy.exitCode.has_value());
}

TEST_F(ShellOpenerTest, fileWithoutProgramFormatIsInvalidExecutable)
{
    WriteFile(folder + "/broken.exe", "MZ not a program here", 0755);
    ProcessLauncher real;
    ShellOpener opener(real);
    EXPECT_EQ(opener.Execute({0, "open", folder + "/broken.exe", {}, {}, SW_HIDE}),
              SE_ERR_BAD_FORMAT);
}

QStringList g_warnings;

void KeepWarning(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg)
        g_warnings.append(QLatin1String(context.category) + u' ' + text);
}

TEST_F(ShellOpenerTest, exceptionInsideIsLoggedAndEndsAsOutOfResources)
{
    const struct {
        const char* target;
        std::exception_ptr failure;
        const char* why;
    } cases[] = {
        {"https://example.org/", std::make_exception_ptr(std::runtime_error("launcher broke")),
         "launcher broke"},
        {"tool.sh", std::make_exception_ptr(std::bad_alloc()), "std::bad_alloc"},
        {"guide.html", std::make_exception_ptr(42), "unknown exception"},
    };
    const QtMessageHandler previous = qInstallMessageHandler(&KeepWarning);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        g_warnings.clear();
        launcher.failure = c.failure;
        EXPECT_EQ(Open(QString::fromLatin1(c.target), folder), SE_ERR_OOM_ZERO);
        EXPECT_EQ(g_warnings.join(u'\n').toStdString(),
                  "zrv.desktop opening " + std::string(c.target) + " failed: " + c.why);
    }
    qInstallMessageHandler(previous);
}

TEST(ShellExecuteTest, requestReachesTheInstalledExecutorInItsTexts)
{
    zrv::test::ScriptedShell shell;
    shell.expectShell(SE_ERR_NOASSOC);
    shell.expectShell(33);
    EXPECT_EQ(ShellExecuteA(7, "open", "https://www.example.com", nullptr, "", SW_SHOWDEFAULT),
              SE_ERR_NOASSOC);
    EXPECT_EQ(ShellExecuteA(0, nullptr, "setup.exe", "/quiet", "/opt", SW_HIDE), 33);
    ASSERT_EQ(shell.requests().size(), 2u);
    const ShellRequest& first = shell.requests()[0];
    EXPECT_EQ(first.owner, 7u);
    EXPECT_EQ(first.verb, QStringLiteral("open"));
    EXPECT_EQ(first.file, QStringLiteral("https://www.example.com"));
    EXPECT_TRUE(first.parameters.isEmpty());
    EXPECT_EQ(first.showCmd, SW_SHOWDEFAULT);
    const ShellRequest& second = shell.requests()[1];
    EXPECT_TRUE(second.verb.isEmpty());
    EXPECT_EQ(second.parameters, QStringLiteral("/quiet"));
    EXPECT_EQ(second.directory, QStringLiteral("/opt"));
    EXPECT_EQ(second.showCmd, SW_HIDE);
}

TEST(ShellExecuteTest, unexpectedRequestFailsTheTest)
{
    static HINSTANCE result = 0;
    IShellExecutor* const strict = ShellExecutor(); // the test main's
    ASSERT_NE(strict, nullptr);
    EXPECT_NONFATAL_FAILURE(
        {
            zrv::test::ScriptedShell shell;
            result = ShellExecuteA(0, "open", "https://www.example.com", "", "", 10);
        },
        "Unexpected shell request");
    EXPECT_EQ(result, SE_ERR_NOASSOC);
    // Without a script of its own a test meets the test main's strict one.
    result = 0;
    EXPECT_NONFATAL_FAILURE(result = ShellExecuteA(0, "open", "/bin/true", "", "", 10),
                            "Unexpected shell request");
    EXPECT_EQ(result, SE_ERR_NOASSOC);
    EXPECT_NONFATAL_FAILURE(
        {
            zrv::test::ScriptedShell shell;
            shell.expectShell(42);
        },
        "never made");
    EXPECT_EQ(ShellExecutor(), strict);
}

} // namespace
