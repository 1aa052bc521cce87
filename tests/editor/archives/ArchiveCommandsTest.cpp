#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/FileFlags.h"
#include "tests/support/ScriptedPrompts.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList Sorted(QStringList names)
{
    names.sort();
    return names;
}

class ArchiveCommandsTest : public testing::Test {
protected:
    void SetUp() override { main = environment.StartEditor(); }
    QString Data() const { return environment.DataFolder(); }
    QStringList Files() const
    {
        return Sorted(QDir(Data()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                             QDir::NoDotAndDotDot));
    }
    void Make(const QString& name, const QStringList& fortunes = {"one", "two"}) const
    {
        FortuneFiles::MakeArchive(environment.ArchivePath(name), "Header of " + name, fortunes);
    }
    void Run(const char* menuItem) const { main->Commands().MenuItem(menuItem)->trigger(); }
    const PromptRecord& LastPrompt() const { return prompts.records().back(); }

    EditorTestEnvironment environment;
    std::unique_ptr<frmMain> main;
    zrv::test::ScriptedPrompts prompts;
};

} // namespace

TEST_F(ArchiveCommandsTest, listing_skipsHiddenFilesAndFolders)
{
    EXPECT_TRUE(main->ListArchives().isEmpty());
    Make("Proverbs");
    Make(" spaced ");
    Make(".hidden");
    QDir(Data()).mkdir("folder");
    QDir(Data()).mkdir(".hiddenfolder");
    EXPECT_EQ(Sorted(main->ListArchives()), (QStringList{" spaced ", "Proverbs"}));
}

TEST_F(ArchiveCommandsTest, openOnEmptyFolder_showsEmptyListAndCancelOpensNothing)
{
    QTimer::singleShot(0, [this] {
        QWidget* form = QApplication::activeModalWidget();
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->parentWidget(), main.get());
        EXPECT_EQ(form->findChild<QListWidget*>("lstFortunes")->count(), 0);
        prompts.expectMessageBox(vbOK);
        form->findChild<QPushButton*>("cmdOK")->click();
        EXPECT_EQ(LastPrompt().text, "Please select a Fortune archive.");
        form->findChild<QPushButton*>("cmdCancel")->click();
    });
    Run("mnuFileOpen");
    EXPECT_EQ(main->CurrentArchiveName(), "");
}

TEST_F(ArchiveCommandsTest, openChoosesFromTheList)
{
    Make("Proverbs");
    QTimer::singleShot(0, [] {
        QWidget* form = QApplication::activeModalWidget();
        ASSERT_NE(form, nullptr);
        form->findChild<QListWidget*>("lstFortunes")->setCurrentRow(0);
        form->findChild<QPushButton*>("cmdOK")->click();
    });
    Run("mnuFileOpen");
    EXPECT_EQ(main->CurrentArchiveName(), "Proverbs");
    EXPECT_EQ(main->RowCount(), 2);
}

TEST_F(ArchiveCommandsTest, newArchive_keepsTheNameAsTypedAndOpensIt)
{
    prompts.expectInput("  Spaced Name ");
    Run("mnuFileNew");
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(LastPrompt().kind, PromptRecord::Kind::InputBox);
    EXPECT_EQ(LastPrompt().text, "What would you like to call your new Zorva Fortune archive?");
    EXPECT_EQ(LastPrompt().title, "New Zorva Fortune Archive");
    EXPECT_EQ(LastPrompt().defaultText, "");
    EXPECT_EQ(Files(), QStringList{"  Spaced Name "});
    EXPECT_EQ(QFileInfo(environment.ArchivePath("  Spaced Name ")).size(), 0);
    EXPECT_EQ(main->CurrentArchiveName(), "  Spaced Name ");
    EXPECT_EQ(main->PanelText(2), "No fortunes in archive");
}

TEST_F(ArchiveCommandsTest, blankOrCancelledName_isIgnored)
{
    prompts.expectInput("   ");
    Run("mnuFileNew");
    prompts.expectInput("");
    Run("mnuFileNew");
    EXPECT_EQ(prompts.records().size(), 2u);
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(ArchiveCommandsTest, takenOrMatchingName_isRefused)
{
    Make("Proverbs");
    const QByteArray before = Bytes(environment.ArchivePath("Proverbs"));
    for (const QString& name :
         {QString("Proverbs"), QString("proverbs"), QString("Pro*"), QString("Proverb?")}) {
        prompts.expectInput(name);
        prompts.expectMessageBox(vbOK);
        Run("mnuFileNew");
        EXPECT_EQ(LastPrompt().text, "Creation of new Zorva Fortune archive Failed as an archive "
                                     "of the same name already exists.");
        EXPECT_EQ(LastPrompt().title, "Action Failed!");
        EXPECT_EQ(LastPrompt().icon, vbCritical);
        EXPECT_EQ(LastPrompt().buttons, vbOKOnly);
    }
    EXPECT_EQ(Files(), QStringList{"Proverbs"});
    EXPECT_EQ(Bytes(environment.ArchivePath("Proverbs")), before);
    EXPECT_EQ(main->CurrentArchiveName(), "");
}

TEST_F(ArchiveCommandsTest, unsafeNames_areRefusedAndNothingIsCreated)
{
    Make("Source");
    main->OpenArchive("Source");
    const QString parent = QFileInfo(Data()).absolutePath();
    const QStringList parentBefore = QDir(parent).entryList();
    for (const char* command : {"mnuFileNew", "mnuFileDuplicate"}) {
        for (const QString& name :
             {QString("../escape"), QString("a/b"), QString("."), QString(".."), QString(".hidden"),
              QString("a\\b"), QString("x") + QChar(u'\0') + "y"}) {
            prompts.expectInput(name);
            prompts.expectMessageBox(vbOK);
            Run(command);
            EXPECT_EQ(LastPrompt().text, "This name cannot be used for a Zorva Fortune archive.");
            EXPECT_EQ(LastPrompt().title, "Action Failed!");
            EXPECT_EQ(LastPrompt().icon, vbCritical);
        }
    }
    EXPECT_EQ(Files(), QStringList{"Source"});
    EXPECT_EQ(QDir(parent).entryList(), parentBefore);
    EXPECT_EQ(main->CurrentArchiveName(), "Source");
}

TEST_F(ArchiveCommandsTest, duplicate_isByteIdenticalAndBecomesCurrent)
{
    Make("Source", FortuneFiles::Numbered(5));
    main->OpenArchive("Source");
    prompts.expectInput("Copy of Source");
    Run("mnuFileDuplicate");
    EXPECT_EQ(Bytes(environment.ArchivePath("Copy of Source")),
              Bytes(environment.ArchivePath("Source")));
    EXPECT_EQ(main->CurrentArchiveName(), "Copy of Source");
    EXPECT_EQ(main->RowCount(), 5);
    EXPECT_EQ(Files(), (QStringList{"Copy of Source", "Source"}));
}

TEST_F(ArchiveCommandsTest, duplicateAndDeleteWithoutArchive_askNothing)
{
    Make("Source");
    main->OpenArchive("Source");
    prompts.expectInput("");
    prompts.expectMessageBox(vbNo);
    Run("mnuFileDuplicate");
    Run("mnuFileDelete");
    ASSERT_EQ(prompts.records().size(), 2u);

    main->CloseArchive();
    main->Commands().Run(QStringLiteral("mnuFileDuplicate"));
    main->Commands().Run(QStringLiteral("mnuFileDelete"));
    EXPECT_EQ(prompts.records().size(), 2u);
    EXPECT_EQ(Files(), QStringList{"Source"});
}

TEST_F(ArchiveCommandsTest, failedCopy_leavesNothingAndOnlyTheOpenStepReports)
{
    Make("Big", {QString(200 * 1024, 'x')});
    main->OpenArchive("Big");
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved;
    lowered.rlim_cur = 16 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &lowered);

    prompts.expectInput("Copy");
    prompts.expectMessageBox(vbOK);
    Run("mnuFileDuplicate");

    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(prompts.records().size(), 2u);
    EXPECT_EQ(LastPrompt().text, "Failed to display Fortune archive");
    EXPECT_EQ(Files(), QStringList{"Big"});
}

TEST_F(ArchiveCommandsTest, deleteAnsweredNo_leavesTheArchiveOpen)
{
    Make("Keep me");
    main->OpenArchive("Keep me");
    prompts.expectMessageBox(vbNo);
    Run("mnuFileDelete");
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(LastPrompt().title, "Confirm Deletion of Keep me");
    EXPECT_EQ(LastPrompt().text, "All data in the archive will be lost.\r\nAre you sure you wish "
                                 "to delete this entire Archive?");
    EXPECT_EQ(LastPrompt().buttons, vbYesNo);
    EXPECT_EQ(LastPrompt().icon, vbQuestion);
    EXPECT_EQ(main->CurrentArchiveName(), "Keep me");
    EXPECT_EQ(Files(), QStringList{"Keep me"});
}

TEST_F(ArchiveCommandsTest, delete_removesOnlyTheNamedFile)
{
    Make("a*");
    Make("ab");
    Make("a?");
    main->OpenArchive("a*");
    prompts.expectMessageBox(vbYes);
    Run("mnuFileDelete");
    EXPECT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(main->CurrentArchiveName(), "");
    EXPECT_EQ(Files(), (QStringList{"a?", "ab"}));
}

TEST_F(ArchiveCommandsTest, failedDelete_saysSoAndKeepsTheFile)
{
    Make("Locked");
    main->OpenArchive("Locked");
    const QByteArray before = Bytes(environment.ArchivePath("Locked"));
    if (!zrv::test::SetImmutable(QFile::encodeName(environment.ArchivePath("Locked")).toStdString(),
                                 true))
        GTEST_SKIP() << "file system cannot mark files immutable";
    prompts.expectMessageBox(vbYes);
    prompts.expectMessageBox(vbOK);
    Run("mnuFileDelete");
    zrv::test::SetImmutable(QFile::encodeName(environment.ArchivePath("Locked")).toStdString(),
                            false);
    ASSERT_EQ(prompts.records().size(), 2u);
    EXPECT_EQ(LastPrompt().text, "Unable to delete archive.");
    EXPECT_EQ(LastPrompt().icon, 0);
    EXPECT_EQ(main->CurrentArchiveName(), "");
    EXPECT_EQ(Bytes(environment.ArchivePath("Locked")), before);
}
