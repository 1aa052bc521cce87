#include "desktop/FramePlacement.h"
#include "desktop/Prompts.h"
#include "desktop/ShellExecute.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/CSettings.h"
#include "editor/shell/frmMain.h"
#include "editor/support/CRegistry.h"
#include "editor/support/EditorError.h"
#include "editor/support/ProductLinks.h"
#include "editor/support/TwipsGeometry.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/ScriptedShell.h"

#include <gtest/gtest.h>
#include <optional>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;

using zrv::test::StoredSetting;
using zrv::test::WriteSetting;

namespace {

template <typename T> T* Child(QWidget& window, const char* name)
{
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class MainWindowTest : public testing::Test {
protected:
    EditorTestEnvironment mEnvironment;
};

TEST_F(MainWindowTest, firstStartOpensMaximisedEmptyAndStoresSettings)
{
    const auto main = mEnvironment.StartEditor();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(WindowStateOf(*main), CSettings::StateMaximised);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Zorva Fortune Editor"));
    EXPECT_EQ(Child<QLabel>(*main, "lblHeader")->text(), QStringLiteral(" Archive Header"));
    EXPECT_TRUE(Child<QLabel>(*main, "lblHeading")->text().isEmpty());
    EXPECT_EQ(main->PanelText(1), QStringLiteral("No fortunes selected"));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("No current archive"));
    EXPECT_EQ(main->PanelText(3), QStringLiteral("No fortunes on clipboard"));
    EXPECT_EQ(main->AppPath(), mEnvironment.PlayerFolder());
    EXPECT_TRUE(QFileInfo(mEnvironment.DataFolder()).isDir());

    const QSize screen = TwipsGeometry::ScreenTwips();
    CSettings defaults;
    defaults.SetDefaults(screen.width(), screen.height());
    EXPECT_EQ(StoredSetting(QStringLiteral("WindowState")), QStringLiteral("2"));
    EXPECT_EQ(StoredSetting(QStringLiteral("HideToolbar")), QStringLiteral("0"));
    EXPECT_EQ(StoredSetting(QStringLiteral("HideHeader")), QStringLiteral("0"));
    // The normal placement written while it was applied, before maximising.
    EXPECT_EQ(StoredSetting(QStringLiteral("Top"))->toInt(), defaults.Saved.Top);
    EXPECT_EQ(StoredSetting(QStringLiteral("Left"))->toInt(), defaults.Saved.Left);
    EXPECT_NEAR(StoredSetting(QStringLiteral("Width"))->toInt(), defaults.Saved.Width, 15);
    EXPECT_NEAR(StoredSetting(QStringLiteral("Height"))->toInt(), defaults.Saved.Height, 15);
}

TEST_F(MainWindowTest, storedNormalPlacementIsApplied)
{
    WriteSetting(QStringLiteral("WindowState"), QStringLiteral("0"));
    WriteSetting(QStringLiteral("Top"), QStringLiteral("1500"));
    WriteSetting(QStringLiteral("Left"), QStringLiteral("3000"));
    WriteSetting(QStringLiteral("Width"), QStringLiteral("9000"));
    WriteSetting(QStringLiteral("Height"), QStringLiteral("6000"));
    const auto main = mEnvironment.StartEditor();
    EXPECT_EQ(WindowStateOf(*main), CSettings::StateNormal);
    const CSettings::Placement placement = CSettings::PlacementOf(*main);
    EXPECT_EQ(placement.Top, 1500);
    EXPECT_EQ(placement.Left, 3000);
    EXPECT_EQ(placement.Width, 9000);
    EXPECT_EQ(placement.Height, 6000);
}

TEST_F(MainWindowTest, unknownWindowStateLeavesTheWindowNormal)
{
    WriteSetting(QStringLiteral("WindowState"), QStringLiteral("7"));
    WriteSetting(QStringLiteral("Top"), QStringLiteral("900"));
    WriteSetting(QStringLiteral("Left"), QStringLiteral("600"));
    WriteSetting(QStringLiteral("Width"), QStringLiteral("7500"));
    WriteSetting(QStringLiteral("Height"), QStringLiteral("5250"));
    const auto main = mEnvironment.StartEditor();
    EXPECT_EQ(WindowStateOf(*main), CSettings::StateNormal);
    EXPECT_EQ(CSettings::PlacementOf(*main).Left, 600);
    EXPECT_EQ(CSettings::PlacementOf(*main).Width, 7500);
    EXPECT_EQ(StoredSetting(QStringLiteral("WindowState")), QStringLiteral("0"));
}

TEST_F(MainWindowTest, minimisedStartKeepsTheLastNormalPlacement)
{
    WriteSetting(QStringLiteral("WindowState"), QStringLiteral("1"));
    WriteSetting(QStringLiteral("Top"), QStringLiteral("1500"));
    WriteSetting(QStringLiteral("Left"), QStringLiteral("3000"));
    WriteSetting(QStringLiteral("Width"), QStringLiteral("9000"));
    WriteSetting(QStringLiteral("Height"), QStringLiteral("6000"));
    const auto main = mEnvironment.StartEditor();
    EXPECT_EQ(WindowStateOf(*main), CSettings::StateMinimised);
    EXPECT_EQ(StoredSetting(QStringLiteral("WindowState")), QStringLiteral("1"));
    EXPECT_EQ(StoredSetting(QStringLiteral("Width")), QStringLiteral("9000"));
    main->setWindowState(Qt::WindowNoState);
    EXPECT_EQ(StoredSetting(QStringLiteral("WindowState")), QStringLiteral("0"));
    main->setWindowState(Qt::WindowMaximized);
    EXPECT_EQ(StoredSetting(QStringLiteral("WindowState")), QStringLiteral("2"));
    EXPECT_EQ(StoredSetting(QStringLiteral("Top")), QStringLiteral("1500"));
}

TEST_F(MainWindowTest, hiddenToolbarSettingHidesItAndUnchecksTheItem)
{
    WriteSetting(QStringLiteral("HideToolbar"), QStringLiteral("1"));
    const auto main = mEnvironment.StartEditor();
    EXPECT_FALSE(Child<QToolBar>(*main, "tlbMain")->isVisible());
    EXPECT_FALSE(
        main->Commands().MenuItem(QStringLiteral("mnuOptionsDisplayToolbar"))->isChecked());
    EXPECT_EQ(Child<QTreeView>(*main, "lvwItems")->y(),
              Child<QLabel>(*main, "picLogo")->y() + Child<QLabel>(*main, "picLogo")->height());
}

TEST_F(MainWindowTest, trueIsNotAHiddenToolbar)
{
    WriteSetting(QStringLiteral("HideToolbar"), QStringLiteral("true"));
    const auto main = mEnvironment.StartEditor();
    EXPECT_TRUE(Child<QToolBar>(*main, "tlbMain")->isVisible());
    EXPECT_TRUE(main->Commands().MenuItem(QStringLiteral("mnuOptionsDisplayToolbar"))->isChecked());
}

TEST_F(MainWindowTest, layoutStacksToolbarHeaderListAndStatusBar)
{
    const auto main = mEnvironment.StartEditor();
    QWidget* client = main->centralWidget();
    const QToolBar* toolbar = Child<QToolBar>(*main, "tlbMain");
    const QLabel* logo = Child<QLabel>(*main, "picLogo");
    const QLabel* header = Child<QLabel>(*main, "lblHeader");
    const QLabel* heading = Child<QLabel>(*main, "lblHeading");
    const QTreeView* list = Child<QTreeView>(*main, "lvwItems");
    const QStatusBar* status = Child<QStatusBar>(*main, "stbMain");
    EXPECT_EQ(toolbar->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(logo->geometry(),
              QRect(QPoint(0, toolbar->height()), TwipsGeometry::Size(4455, 1725)));
    EXPECT_EQ(header->geometry(), QRect(logo->width(), logo->y(), client->width() - logo->width(),
                                        TwipsGeometry::PixelsY(375)));
    EXPECT_EQ(heading->geometry(),
              QRect(logo->width(), logo->y() + header->height(), client->width() - logo->width(),
                    TwipsGeometry::PixelsY(1335)));
    EXPECT_EQ(list->geometry(),
              QRect(0, logo->y() + logo->height(), client->width(),
                    client->height() - logo->y() - logo->height() - status->height()));
    EXPECT_EQ(status->geometry().bottom(), client->height() - 1);
    EXPECT_EQ(list->header()->sectionSize(0), list->width() - TwipsGeometry::PixelsX(375));
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Fortunes"));
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(header->palette().color(QPalette::Window), QColor(210, 210, 210));
    EXPECT_EQ(heading->palette().color(QPalette::Window), QColor(255, 255, 210));
    EXPECT_TRUE(header->font().bold());
    EXPECT_EQ(header->font().pointSize(), 12);
    EXPECT_EQ(logo->pixmap().size(), QSize(292, 104));
}

TEST_F(MainWindowTest, windowNarrowerThanTheLogoKeepsTheHeaderWidths)
{
    WriteSetting(QStringLiteral("WindowState"), QStringLiteral("0"));
    const auto main = mEnvironment.StartEditor();
    const QLabel* logo = Child<QLabel>(*main, "picLogo");
    const QLabel* header = Child<QLabel>(*main, "lblHeader");
    const QLabel* heading = Child<QLabel>(*main, "lblHeading");
    main->resize(logo->width() + 100, 400);
    ASSERT_EQ(header->width(), 100);
    main->resize(logo->width() / 2, 400);
    ASSERT_EQ(main->centralWidget()->width(), logo->width() / 2);
    EXPECT_EQ(header->width(), 100);
    EXPECT_EQ(heading->width(), 100);
    EXPECT_EQ(Child<QTreeView>(*main, "lvwItems")->width(), logo->width() / 2);
}

TEST_F(MainWindowTest, withToolbarAndHeaderHiddenTheListStartsAtTheTop)
{
    WriteSetting(QStringLiteral("HideToolbar"), QStringLiteral("1"));
    WriteSetting(QStringLiteral("HideHeader"), QStringLiteral("1"));
    const auto main = mEnvironment.StartEditor();
    EXPECT_FALSE(Child<QLabel>(*main, "picLogo")->isVisible());
    EXPECT_FALSE(Child<QLabel>(*main, "lblHeader")->isVisible());
    EXPECT_FALSE(Child<QLabel>(*main, "lblHeading")->isVisible());
    EXPECT_EQ(Child<QTreeView>(*main, "lvwItems")->y(), 0);
    // Every save writes back the header option that was loaded.
    EXPECT_EQ(StoredSetting(QStringLiteral("HideHeader")), QStringLiteral("1"));
}

TEST_F(MainWindowTest, displayToolbarTwiceBringsItBack)
{
    const auto main = mEnvironment.StartEditor();
    QAction* item = main->Commands().MenuItem(QStringLiteral("mnuOptionsDisplayToolbar"));
    const QTreeView* list = Child<QTreeView>(*main, "lvwItems");
    const int listTop = list->y();
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(Child<QToolBar>(*main, "tlbMain")->isVisible());
    EXPECT_EQ(StoredSetting(QStringLiteral("HideToolbar")), QStringLiteral("1"));
    EXPECT_LT(list->y(), listTop);
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(Child<QToolBar>(*main, "tlbMain")->isVisible());
    EXPECT_EQ(StoredSetting(QStringLiteral("HideToolbar")), QStringLiteral("0"));
    EXPECT_EQ(list->y(), listTop);
}

TEST_F(MainWindowTest, menusCarryTheirCaptionsAndShortcuts)
{
    const auto main = mEnvironment.StartEditor();
    const struct {
        const char* name;
        const char* caption;
        const char* shortcut;
    } items[] = {
        {"mnuFileNew", "&New Archive", "Ctrl+N"},
        {"mnuFileOpen", "&Open Archive", "Ctrl+O"},
        {"mnuFileDuplicate", "&Duplicate Archive", ""},
        {"mnuFileDelete", "De&lete Archive", ""},
        {"mnuFileClose", "&Close Archive", ""},
        {"mnuFileExit", "E&xit", ""},
        {"mnuEditSelectAll", "&Select All", "Ctrl+A"},
        {"mnuEditInvertSelection", "&Invert Selection", ""},
        {"mnuEditDeselectAll", "&Deselect All", ""},
        {"mnuEditCut", "&Cut", "Ctrl+X"},
        {"mnuEditCopy", "C&opy", "Ctrl+C"},
        {"mnuEditPaste", "&Paste", "Ctrl+V"},
        {"mnuEditArchiveHeader", "&Archive Header", ""},
        {"mnuActionsAdd", "&Add", "Ctrl+Ins"},
        {"mnuActionsEdit", "&Edit", "Ctrl+E"},
        {"mnuActionsDelete", "&Delete", "Ctrl+D"},
        {"mnuActionsView", "&View", "Ctrl+L"},
        {"mnuActionsExport", "E&xport", ""},
        {"mnuActionsImport", "&Import", ""},
        {"mnuOptionsDisplayToolbar", "Display &Toolbar", ""},
        {"mnuHelpContents", "Contents", "F1"},
        {"mnuHelpHome", "ZorvaFortune Homepage", "F2"},
        {"mnuHelpAbout", "&About ...", ""},
    };
    for (const auto& item : items) {
        const QAction* action = main->Commands().MenuItem(QString::fromLatin1(item.name));
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), QString::fromLatin1(item.caption)) << item.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(item.shortcut)))
            << item.name;
    }
    QStringList menus;
    for (const QAction* menu : main->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&Actions", "&Options", "&Help"}));
    QStringList captions;
    for (const QAction* button : Child<QToolBar>(*main, "tlbMain")->actions())
        captions << (button->isSeparator() ? QStringLiteral("|") : button->iconText());
    EXPECT_EQ(captions, (QStringList{"New", "Open", "|", "Cut", "Copy", "Paste", "|", "Add", "Edit",
                                     "Delete", "View", "|", "Export", "Import"}));
    EXPECT_EQ(Child<QToolBar>(*main, "tlbMain")->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(Child<QToolBar>(*main, "tlbMain")->iconSize(), QSize(32, 32));
    EXPECT_EQ(main->Commands().OpenButton()->popupMode(), QToolButton::MenuButtonPopup);
}

// One action per command: a toolbar button is its menu item, so the two share
// their enabled state and their routine; a click on the button runs it.
TEST_F(MainWindowTest, eachButtonIsItsMenuItem)
{
    const auto main = mEnvironment.StartEditor();
    const struct {
        const char* caption;
        const char* item;
    } buttons[] = {
        {"New", "mnuFileNew"},          {"Open", "mnuFileOpen"},        {"Cut", "mnuEditCut"},
        {"Copy", "mnuEditCopy"},        {"Paste", "mnuEditPaste"},      {"Add", "mnuActionsAdd"},
        {"Edit", "mnuActionsEdit"},     {"Delete", "mnuActionsDelete"}, {"View", "mnuActionsView"},
        {"Export", "mnuActionsExport"}, {"Import", "mnuActionsImport"},
    };
    for (const auto& button : buttons) {
        QAction* action = main->Commands().Button(QString::fromLatin1(button.caption));
        ASSERT_NE(action, nullptr) << button.caption;
        EXPECT_EQ(action, main->Commands().MenuItem(QString::fromLatin1(button.item)))
            << button.caption;
    }
    for (const char* caption : {"Select All", "Exit", "Archive Header", "Close Archive"})
        EXPECT_EQ(main->Commands().Button(QString::fromLatin1(caption)), nullptr) << caption;

    zrv::test::ScriptedPrompts prompts;
    prompts.expectInput({});
    auto* newButton = qobject_cast<QToolButton*>(
        Child<QToolBar>(*main, "tlbMain")
            ->widgetForAction(main->Commands().MenuItem(QStringLiteral("mnuFileNew"))));
    ASSERT_NE(newButton, nullptr);
    QTest::mouseClick(newButton, Qt::LeftButton);
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records()[0].title, QStringLiteral("New Zorva Fortune Archive"));
}

TEST_F(MainWindowTest, toolbarImagesHaveThreeDistinctLooks)
{
    const auto main = mEnvironment.StartEditor();
    for (const char* caption : {"New", "Open", "Cut", "Copy", "Paste", "Add", "Edit", "Delete",
                                "View", "Export", "Import"}) {
        const QIcon icon = main->Commands().Button(QString::fromLatin1(caption))->icon();
        const QImage normal = icon.pixmap(32, QIcon::Normal).toImage();
        const QImage disabled = icon.pixmap(32, QIcon::Disabled).toImage();
        const QImage hot = icon.pixmap(32, QIcon::Active).toImage();
        EXPECT_EQ(normal.size(), QSize(32, 32)) << caption;
        EXPECT_NE(normal, disabled) << caption;
        EXPECT_NE(normal, hot) << caption;
        EXPECT_NE(disabled, hot) << caption;
    }
    const QImage newImage =
        main->Commands().Button(QStringLiteral("New"))->icon().pixmap(32).toImage();
    const QImage openImage =
        main->Commands().Button(QStringLiteral("Open"))->icon().pixmap(32).toImage();
    EXPECT_NE(newImage, openImage);
}

TEST_F(MainWindowTest, commandsWithoutArchiveAreDisabled)
{
    const auto main = mEnvironment.StartEditor();
    for (const char* name :
         {"mnuFileDuplicate", "mnuFileDelete", "mnuFileClose", "mnuEditSelectAll",
          "mnuEditInvertSelection", "mnuEditDeselectAll", "mnuEditCut", "mnuEditCopy",
          "mnuEditPaste", "mnuEditArchiveHeader", "mnuActionsAdd", "mnuActionsEdit",
          "mnuActionsDelete", "mnuActionsView", "mnuActionsExport", "mnuActionsImport"})
        EXPECT_FALSE(main->Commands().MenuItem(QString::fromLatin1(name))->isEnabled()) << name;
    for (const char* name : {"mnuFileNew", "mnuFileOpen", "mnuFileExit", "mnuOptionsDisplayToolbar",
                             "mnuHelpContents", "mnuHelpHome", "mnuHelpAbout"})
        EXPECT_TRUE(main->Commands().MenuItem(QString::fromLatin1(name))->isEnabled()) << name;
    for (const char* caption :
         {"Cut", "Copy", "Paste", "Add", "Edit", "Delete", "View", "Export", "Import"})
        EXPECT_FALSE(main->Commands().Button(QString::fromLatin1(caption))->isEnabled()) << caption;
    EXPECT_TRUE(main->Commands().Button(QStringLiteral("New"))->isEnabled());
    EXPECT_TRUE(main->Commands().Button(QStringLiteral("open"))->isEnabled());
}

TEST_F(MainWindowTest, helpItemsAndLogoOpenTheirLinks)
{
    const auto main = mEnvironment.StartEditor();
    zrv::test::ScriptedShell shell;
    shell.expectShell(42);
    shell.expectShell(42);
    shell.expectShell(SE_ERR_NOASSOC);
    main->Commands().MenuItem(QStringLiteral("mnuHelpContents"))->trigger();
    main->Commands().MenuItem(QStringLiteral("mnuHelpHome"))->trigger();
    QTest::mouseClick(Child<QLabel>(*main, "picLogo"), Qt::LeftButton);
    ASSERT_EQ(shell.requests().size(), 3u);
    EXPECT_EQ(shell.requests()[0].file, ProductLinks::UserGuideUrl);
    EXPECT_EQ(shell.requests()[1].file, ProductLinks::HomePageUrl);
    EXPECT_EQ(shell.requests()[2].file, ProductLinks::HomePageUrl);
    for (const ShellRequest& request : shell.requests())
        EXPECT_EQ(request.owner, main->hWnd());
}

TEST_F(MainWindowTest, exitEndsTheProcessWithoutAQuestion)
{
    const auto main = mEnvironment.StartEditor();
    WriteSetting(QStringLiteral("Width"), QStringLiteral("1234"));
    int endedWith = -1;
    frmMain::SetProcessEnd([&](int code) { endedWith = code; });
    zrv::test::ScriptedPrompts prompts;
    main->Commands().MenuItem(QStringLiteral("mnuFileExit"))->trigger();
    frmMain::SetProcessEnd(nullptr);
    EXPECT_EQ(endedWith, 0);
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(StoredSetting(QStringLiteral("Width")), QStringLiteral("1234"));
}

TEST_F(MainWindowTest, unknownCommandDoesNothing)
{
    const auto main = mEnvironment.StartEditor();
    zrv::test::ScriptedPrompts prompts;
    EXPECT_EQ(main->Commands().Button(QStringLiteral("Frobnicate")), nullptr);
    main->Commands().Run(QStringLiteral("Frobnicate"));
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Zorva Fortune Editor"));
}

class PlayerCheckTest : public testing::Test {
protected:
    EditorTestEnvironment mEnvironment{false};
};

TEST_F(PlayerCheckTest, missingPlayerOffersTheHomePage)
{
    // The player beside the archives does not count: only the editor's folder does.
    QFile elsewhere(mEnvironment.PlayerFolder() + QStringLiteral("/ZorvaFortune.exe"));
    ASSERT_TRUE(elsewhere.open(QIODevice::WriteOnly));
    zrv::test::ScriptedPrompts prompts;
    zrv::test::ScriptedShell shell;
    prompts.expectMessageBox(vbYes);
    shell.expectShell(42);
    const auto main = mEnvironment.StartEditor();
    ASSERT_EQ(prompts.records().size(), 1u);
    const PromptRecord& warning = prompts.records().front();
    EXPECT_EQ(warning.title,
              QStringLiteral("WARNING! ZorvaFortune Main Application not installed!"));
    EXPECT_EQ(
        warning.text,
        QStringLiteral(
            "We have detected that you have installed the ZorvaFortune Editor yet you do not have "
            "ZorvaFortune installed.  While the program will run, it is of limited value without "
            "it "
            "since you can't play your fortune archives.  Would you like us to launch a browser "
            "window taking you to the ZorvaFortune homepage from where you can download "
            "ZorvaFortune?"));
    EXPECT_EQ(warning.buttons, vbYesNo);
    EXPECT_EQ(warning.icon, 0);
    EXPECT_EQ(warning.defaultButton, vbDefaultButton1);
    ASSERT_EQ(shell.requests().size(), 1u);
    EXPECT_EQ(shell.requests()[0].file, ProductLinks::HomePageUrl);
    EXPECT_EQ(shell.requests()[0].verb, QStringLiteral("open"));
    EXPECT_EQ(shell.requests()[0].owner, main->hWnd());
    EXPECT_TRUE(main->isVisible());
}

TEST_F(PlayerCheckTest, folderNamedLikeThePlayerIsNoPlayer)
{
    ASSERT_TRUE(QDir(mEnvironment.EditorFolder()).mkdir(QStringLiteral("ZorvaFortune.exe")));
    zrv::test::ScriptedPrompts prompts;
    prompts.expectMessageBox(vbNo);
    const auto main = mEnvironment.StartEditor();
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records()[0].title,
              QStringLiteral("WARNING! ZorvaFortune Main Application not installed!"));
}

TEST_F(PlayerCheckTest, answeringNoOpensNothing)
{
    zrv::test::ScriptedPrompts prompts;
    zrv::test::ScriptedShell shell;
    prompts.expectMessageBox(vbNo);
    const auto main = mEnvironment.StartEditor();
    EXPECT_EQ(prompts.records().size(), 1u);
    EXPECT_TRUE(shell.requests().empty());
}

} // namespace
