#include "desktop/ShellExecute.h"
#include "editor/support/modForms.h"
#include "editor/support/modShellEx.h"
#include "editor/support/ProductLinks.h"
#include "tests/editor/support/LoggedWarnings.h"
#include "tests/support/ScriptedShell.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

using namespace zrv::desktop;

namespace {

using zrv::test::LoggedWarnings;

QString ExpectedSource()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
           QStringLiteral(".GShell");
}

struct FailureCase {
    HINSTANCE result;
    uint32_t number;
    const char* message;
};

constexpr const char* kGeneral =
    "An error occurred occurred whilst trying to open or print the selected file.";

TEST(OpenWithShell, failureResultsFollowTheTable)
{
    const FailureCase cases[] = {
        {0, 7, "Out of memory"},
        {1, 0x80040419, kGeneral},
        {2, 53, "File not found"},
        {3, 76, "Path not found"},
        {4, 0x8004041C, kGeneral},
        {5, 75, "Path/file access error"},
        {8, 7, "Out of memory"},
        {11, 0x80040423, "The executable file is invalid or corrupt"},
        {12, 0x80040424, kGeneral},
        {26, 75, "A sharing violation occurred."},
        {27, 0x80040433, "This file type does not have a valid file association."},
        {28, 286, "The file could not be opened due to time out. Please try again in a moment."},
        {29, 285,
         "The file could not be opened because the DDE transaction failed. Please try again in a "
         "moment."},
        {30, 285,
         "The file could not be opened because the target application is busy. Please try again in "
         "a moment."},
        {31, 0x80040437, "No application is associated with this file type."},
        {32, 48, "The specified dynamic-link library was not found."},
    };
    for (const FailureCase& c : cases) {
        zrv::test::ScriptedShell shell;
        shell.expectShell(c.result);
        std::optional<EditorError> error;
        EXPECT_FALSE(OpenWithShell(QStringLiteral("/tmp/some file.txt"), SW_SHOWDEFAULT, {}, {},
                                   QStringLiteral("open"), 0, &error))
            << c.result;
        ASSERT_TRUE(error.has_value()) << c.result;
        EXPECT_EQ(static_cast<uint32_t>(error->Number()), c.number) << c.result;
        EXPECT_EQ(error->Description(), QString::fromUtf8(c.message)) << c.result;
        EXPECT_EQ(error->Source(), ExpectedSource());
    }
}

TEST(OpenWithShell, resultsAbove32AndNegativeOnesSucceed)
{
    for (const HINSTANCE result : {HINSTANCE{33}, HINSTANCE{42}, HINSTANCE{0x7FFFFFFFLL} * 1024,
                                   HINSTANCE{-1}, HINSTANCE{-32}}) {
        zrv::test::ScriptedShell shell;
        shell.expectShell(result);
        std::optional<EditorError> error;
        EXPECT_TRUE(OpenWithShell(QStringLiteral("https://zorva.example.org/"), SW_SHOWDEFAULT, {},
                                  {}, QStringLiteral("open"), 0, &error))
            << result;
        EXPECT_FALSE(error.has_value());
    }
}

struct ShowModeCase {
    const char* target;
    int showMode;
    const char* parameters;
    const char* directory;
    int expectedShow;
};

TEST(OpenWithShell, showModeRules)
{
    const ShowModeCase cases[] = {
        // Nothing to pass on: always shown normally.
        {"https://zorva.example.org/", SW_SHOWDEFAULT, "", "", SW_SHOWNORMAL},
        {"tool.exe", SW_SHOWDEFAULT, "", "", SW_SHOWNORMAL},
        // With parameters or a folder the caller's mode stands, except for programs.
        {"notes.txt", SW_SHOWDEFAULT, "-x", "", SW_SHOWDEFAULT},
        {"notes.txt", 3, "", "/tmp", 3},
        {"Tool.Exe", SW_SHOWDEFAULT, "-x", "", SW_HIDE},
        {"/opt/TOOL.EXE", SW_SHOWNORMAL, "", "/tmp", SW_HIDE},
        {"archive.exes.txt", SW_SHOWDEFAULT, "", "/tmp", SW_HIDE},
    };
    for (const ShowModeCase& c : cases) {
        zrv::test::ScriptedShell shell;
        shell.expectShell(42);
        EXPECT_TRUE(OpenWithShell(QString::fromUtf8(c.target), c.showMode,
                                  QString::fromUtf8(c.parameters), QString::fromUtf8(c.directory),
                                  QStringLiteral("open"), 77));
        ASSERT_EQ(shell.requests().size(), 1u);
        const ShellRequest& request = shell.requests().front();
        EXPECT_EQ(request.showCmd, c.expectedShow) << c.target;
        EXPECT_EQ(request.file, QString::fromUtf8(c.target));
        EXPECT_EQ(request.parameters, QString::fromUtf8(c.parameters));
        EXPECT_EQ(request.directory, QString::fromUtf8(c.directory));
        EXPECT_EQ(request.verb, QStringLiteral("open"));
        EXPECT_EQ(request.owner, 77u);
    }
}

TEST(HelpLinks, openTheGuideAndTheHomePage)
{
    zrv::test::ScriptedShell shell;
    shell.expectShell(42);
    shell.expectShell(SE_ERR_NOASSOC);
    const LoggedWarnings log;
    ShowUserGuide(5);
    EXPECT_TRUE(log.Lines().isEmpty());
    ShowHomePage(6); // a failing link shows nothing and returns, but is logged
    ASSERT_EQ(log.Lines().size(), 1);
    EXPECT_TRUE(log.Lines()[0].startsWith(QStringLiteral("zrv.editor: ")))
        << log.Lines()[0].toStdString();
    EXPECT_TRUE(log.Lines()[0].contains(ProductLinks::HomePageUrl));
    EXPECT_TRUE(log.Lines()[0].contains(
        QStringLiteral("No application is associated with this file type.")));
    ASSERT_EQ(shell.requests().size(), 2u);
    EXPECT_EQ(shell.requests()[0].file, ProductLinks::UserGuideUrl);
    EXPECT_EQ(shell.requests()[0].owner, 5u);
    EXPECT_EQ(shell.requests()[0].showCmd, SW_SHOWNORMAL);
    EXPECT_EQ(shell.requests()[1].file, ProductLinks::HomePageUrl);
    EXPECT_EQ(shell.requests()[1].owner, 6u);
    for (const QString& url :
         {ProductLinks::UserGuideUrl, ProductLinks::HomePageUrl, ProductLinks::MakerUrl})
        EXPECT_TRUE(url.startsWith(QStringLiteral("https://zorva.example.org/")))
            << url.toStdString();
}

} // namespace
