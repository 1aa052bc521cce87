// After deleting a selection, a Paste and an Import the main window shows
// exactly what opening the archive afresh shows: list, keys, selection,
// current row, scroll position, status bar, header and commands. The list
// follows the window's own change row by row only while the file held nothing
// else; another program's change in between makes it read the file again.
#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/support/CArchiveObject.h"
#include "sheet/io/WorkbookFiles.h"
#include "tests/editor/archives/SpreadsheetServer.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/Latin1Locale.h"
#include "tests/support/ScriptedPrompts.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>
#include <QTreeView>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;
namespace Server = zrv::test::SpreadsheetServer;

namespace {

constexpr int kFortunes = 300;
const QString kName = QStringLiteral("Archive");

// Texts whose rows depend on how the archive stores them: line breaks
// trimmed at both ends (a text of nothing else adds no fortune), a carriage
// return without a line feed, characters the code page may lack.
const QStringList kAdded = {
    QStringLiteral("\r\n\r\nBegins after line breaks\r\nsecond line"),
    QStringLiteral("lone\rreturn"),
    QStringLiteral("ends in a return\r"),
    QStringLiteral("\r\n\r\n"),
    QStringLiteral("caf\u00e9 \u20ac \u6f22\u5b57\nnext"),
    QStringLiteral("last"),
};

enum class Command { Delete, Paste, Import };
// What another program does to the archive between the window's reading it
// and the command: nothing, rewrite the same bytes, replace a fortune's
// text, append one.
enum class Outside { Nothing, Rewritten, Edited, Appended };

struct View {
    QStringList rows;
    QStringList keys;
    int selected = 0;
    int current = 0;
    int scroll = 0;
    QStringList panels;
    QString title;
    QString heading;
    QList<bool> enabled;

    bool operator==(const View&) const = default;
};

void PrintTo(const View& view, std::ostream* out)
{
    *out << view.rows.size() << " rows, last "
         << view.rows.value(view.rows.size() - 1).toStdString() << ", selected " << view.selected
         << ", current " << view.current << ", scroll " << view.scroll << ", panels "
         << view.panels.join(" | ").toStdString();
}

QStringList Numbered()
{
    QStringList fortunes;
    for (int i = 1; i <= kFortunes; ++i)
        fortunes.append(QStringLiteral("Fortune %1\r\nwith a second line").arg(i));
    return fortunes;
}

class ListAfterChangeTest : public testing::Test {
protected:
    void SetUp() override
    {
        Server::RegisterReal();
        Server::PrepareDesktop();
    }

    // A fresh window on a fresh archive, some rows selected, one current,
    // the list scrolled down.
    void Start()
    {
        main.reset();
        main = environment.StartEditor();
        zrv::test::WriteArchive(Path(), "Header\r\nof the archive", Numbered());
        main->OpenArchive(kName);
        QTreeView& list = *main->List();
        for (const int row : {3, 7, 120, 250, 299})
            list.selectionModel()->select(list.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list.selectionModel()->setCurrentIndex(list.model()->index(120, 0),
                                               QItemSelectionModel::NoUpdate);
        QApplication::processEvents();
        list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum() / 2);
    }

    QString Path() const { return environment.ArchivePath(kName); }

    void ChangeOutside(Outside outside) const
    {
        if (outside == Outside::Rewritten) {
            // As editors save: a new file renamed over the old one.
            QFile old(Path());
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            QFile copy(Path() + QStringLiteral(".new"));
            ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
            ASSERT_EQ(copy.write(old.readAll()), old.size());
            copy.close();
            ASSERT_EQ(std::rename(QFile::encodeName(copy.fileName()).constData(),
                                  QFile::encodeName(Path()).constData()),
                      0);
        } else if (outside != Outside::Nothing) {
            const ComPtr<IFortune> other = FortuneFiles::LoadFortune(Path());
            const BString text =
                CArchiveObject::ToBString(QStringLiteral("Changed by another program"));
            ASSERT_EQ(outside == Outside::Edited ? other->put_Item(2, text.get())
                                                 : other->Add(text.get()),
                      S_OK);
        }
    }

    void Run(Command command)
    {
        if (command == Command::Delete) {
            prompts.expectMessageBox(vbYes);
            main->Commands().Run(QStringLiteral("mnuActionsDelete"));
        } else if (command == Command::Paste) {
            QString clipboard;
            for (const QString& text : kAdded)
                clipboard += QStringLiteral("//ZORVAFORTUNE//") + text;
            QGuiApplication::clipboard()->setText(clipboard);
            main->Commands().Run(QStringLiteral("mnuEditPaste"));
        } else {
            prompts.expectMessageBox(vbYes);
            prompts.expectOpenFile(WriteBook());
            main->Commands().Run(QStringLiteral("mnuActionsImport"));
        }
        QApplication::processEvents();
    }

    QString WriteBook() const
    {
        zrv::sheet::WorkbookData book;
        book.sheets.emplace_back();
        book.sheets[0].name = "Sheet1";
        for (int row = 0; row < kAdded.size(); ++row)
            book.sheets[0].cells[{static_cast<uint32_t>(row + 1), 1}] = {
                zrv::sheet::CellKind::Text, kAdded[row].toStdString(), 0, false};
        const QString path = environment.PlayerFolder() + QStringLiteral("/import.xlsx");
        QFile::remove(path);
        std::string error;
        EXPECT_TRUE(zrv::sheet::WriteXlsxFile(book, path.toStdString(), error)) << error;
        return path;
    }

    View Seen() const
    {
        View view;
        const QTreeView& list = *main->List();
        for (int row = 0; row < main->RowCount(); ++row) {
            view.rows.append(main->RowText(row));
            view.keys.append(main->RowKey(row));
        }
        view.selected = main->SelectedCount();
        view.current = list.currentIndex().row();
        view.scroll = list.verticalScrollBar()->value();
        view.panels = {main->PanelText(1), main->PanelText(2), main->PanelText(3)};
        view.title = main->windowTitle();
        view.heading = main->findChild<QLabel*>("lblHeading")->text();
        for (const char* item : {"mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuActionsDelete",
                                 "mnuActionsEdit", "mnuActionsExport", "mnuEditSelectAll"})
            view.enabled.append(main->Commands().MenuItem(item)->isEnabled());
        return view;
    }

    // The command run after the outside change; what the window then shows
    // and whether it kept its archive object (followed the change itself).
    std::pair<View, bool> After(Command command, Outside outside)
    {
        Start();
        ChangeOutside(outside);
        const CArchiveObject before = main->CurrentArchive();
        Run(command);
        return {Seen(), main->CurrentArchive() == before};
    }

    EditorTestEnvironment environment;
    std::unique_ptr<frmMain> main;
    zrv::test::ScriptedPrompts prompts;
};

} // namespace

TEST_F(ListAfterChangeTest, ownChangeShowsWhatAReloadShows_anotherProgramsChangeReloads)
{
    for (const bool latin1 : {false, true}) {
        std::unique_ptr<zrv::test::Latin1Locale> locale;
        if (latin1) {
            locale = std::make_unique<zrv::test::Latin1Locale>();
            if (!locale->IsActive())
                GTEST_SKIP() << "no ISO-8859-1 locale can be generated here";
        }
        for (const Command command : {Command::Delete, Command::Paste, Command::Import}) {
            SCOPED_TRACE(testing::Message() << "command " << static_cast<int>(command)
                                            << (latin1 ? " in ISO-8859-1" : " in UTF-8"));
            const auto [followed, kept] = After(command, Outside::Nothing);
            EXPECT_TRUE(kept) << "the list was read again after the window's own change";
            // Same bytes, but another program wrote them: read afresh.
            const auto [reloaded, keptAfterRewrite] = After(command, Outside::Rewritten);
            EXPECT_FALSE(keptAfterRewrite);
            EXPECT_EQ(followed, reloaded);
            const int added = command == Command::Delete ? -5 : kAdded.size() - 1;
            EXPECT_EQ(followed.rows.size(), kFortunes + added);
            EXPECT_EQ(followed.selected, 0);

            for (const Outside outside : {Outside::Edited, Outside::Appended}) {
                const auto [changed, keptAfterChange] = After(command, outside);
                EXPECT_FALSE(keptAfterChange);
                main->OpenArchive(kName);
                EXPECT_EQ(changed.rows, Seen().rows);
                EXPECT_EQ(changed.rows.contains("Changed by another program"), true);
            }
        }
    }
}
