// Cut, Copy and Paste in the main window on real Fortune objects, and the
// commands' failure paths on a Fortune object that fails on request.

#include "desktop/Prompts.h"
#include "editor/editing/CClipboardCommands.h"
#include "editor/editing/CFortuneCommands.h"
#include "editor/shell/CFortuneListModel.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/support/CArchiveObject.h"
#include "editor/support/CArchiveWindow.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/Latin1Locale.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTreeView>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;

namespace {

const QString kMarker = QStringLiteral("//ZORVAFORTUNE//");

QString ClipboardText()
{
    return QGuiApplication::clipboard()->text();
}

void SetClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ClipboardCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetClipboard({});
        main = environment.StartEditor();
        FortuneFiles::MakeArchive(Path(), "Header", {"one", "x\r\ny", "three", "four"});
        main->OpenArchive("Four");
    }
    QString Path() const { return environment.ArchivePath("Four"); }
    QTreeView& List() const { return *main->List(); }
    void SelectRows(std::initializer_list<int> rows) const
    {
        for (const int row : rows)
            List().selectionModel()->select(List().model()->index(row - 1, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
    }
    QStringList OnDisk() const
    {
        return FortuneFiles::Fortunes(FortuneFiles::LoadFortune(Path()).get());
    }
    void Run(const char* menuItem) const { main->Commands().MenuItem(menuItem)->trigger(); }
    bool PasteEnabled() const
    {
        const bool menu = main->Commands().MenuItem("mnuEditPaste")->isEnabled();
        EXPECT_EQ(main->Commands().Button("Paste")->isEnabled(), menu);
        return menu;
    }

    EditorTestEnvironment environment;
    std::unique_ptr<frmMain> main;
    zrv::test::ScriptedPrompts prompts;
};

} // namespace

TEST_F(ClipboardCommandsTest, copyOfThreeSelected_putsFullTextsInListOrder)
{
    SelectRows({4, 2, 1});
    Run("mnuEditCopy");
    EXPECT_EQ(ClipboardText(), kMarker + "one" + kMarker + "x\r\ny" + kMarker + "four");
    EXPECT_EQ(main->PanelText(3), "3 fortunes on clipboard");
    EXPECT_TRUE(PasteEnabled());
    EXPECT_EQ(OnDisk().size(), 4) << "copying changes nothing";
}

TEST_F(ClipboardCommandsTest, cut_asksAndNoKeepsArchiveAndClipboard)
{
    SelectRows({2, 3});
    prompts.expectMessageBox(vbNo);
    Run("mnuEditCut");
    EXPECT_EQ(prompts.records().back().title, "Confirm Delete");
    EXPECT_EQ(OnDisk().size(), 4);
    EXPECT_EQ(ClipboardText(), kMarker + "x\r\ny" + kMarker + "three");
    EXPECT_EQ(main->PanelText(3), "2 fortunes on clipboard");

    prompts.expectMessageBox(vbYes);
    Run("mnuEditCut");
    EXPECT_EQ(OnDisk(), (QStringList{"one", "four"}));
    EXPECT_EQ(main->RowCount(), 2);
    EXPECT_EQ(main->PanelText(3), "2 fortunes on clipboard");
}

TEST_F(ClipboardCommandsTest, pasteIntoTheSameArchive_appendsCopies)
{
    SelectRows({1, 2});
    Run("mnuEditCopy");
    Run("mnuEditPaste");
    EXPECT_EQ(OnDisk(), (QStringList{"one", "x\r\ny", "three", "four", "one", "x\r\ny"}));
    EXPECT_EQ(main->RowCount(), 6);
    EXPECT_EQ(main->RowText(5), "x");
}

TEST_F(ClipboardCommandsTest, textFromElsewhere_countsOnlyWhenItBeginsWithTheMarker)
{
    SetClipboard("//zorvafortune//abc" + kMarker + kMarker);
    EXPECT_EQ(main->PanelText(3), "3 fortunes on clipboard");
    Run("mnuEditPaste");
    // The empty ones store nothing.
    EXPECT_EQ(OnDisk(), (QStringList{"one", "x\r\ny", "three", "four", "abc"}));

    SetClipboard(" " + kMarker + "abc");
    EXPECT_EQ(main->PanelText(3), "No fortunes on clipboard");
    EXPECT_FALSE(PasteEnabled());

    SetClipboard(kMarker + "abc");
    auto* image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(image);
    EXPECT_EQ(main->PanelText(3), "No fortunes on clipboard");
    EXPECT_FALSE(PasteEnabled());
}

TEST_F(ClipboardCommandsTest, withoutArchive_pasteIsDisabledWhileTheCountShows)
{
    SetClipboard(kMarker + "a" + kMarker + "b");
    EXPECT_TRUE(PasteEnabled());
    main->CloseArchive();
    EXPECT_EQ(main->PanelText(3), "2 fortunes on clipboard");
    EXPECT_FALSE(PasteEnabled());
    main->Commands().Run(QStringLiteral("mnuEditPaste"));
    EXPECT_EQ(OnDisk().size(), 4);
}

TEST_F(ClipboardCommandsTest, clipboardKeysOfDisabledCommands_leaveTheClipboard)
{
    List().setCurrentIndex(List().model()->index(2, 0));
    List().selectionModel()->clearSelection();
    ASSERT_FALSE(main->Commands().MenuItem("mnuEditCopy")->isEnabled());
    SetClipboard(kMarker + "waiting");
    for (const Qt::Key key : {Qt::Key_C, Qt::Key_X})
        QTest::keyClick(&List(), key, Qt::ControlModifier);
    EXPECT_EQ(ClipboardText(), kMarker + "waiting");
    EXPECT_EQ(OnDisk().size(), 4);

    SetClipboard("no fortunes");
    ASSERT_FALSE(PasteEnabled());
    QTest::keyClick(&List(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ClipboardText(), "no fortunes");
    EXPECT_EQ(OnDisk().size(), 4);
}

TEST_F(ClipboardCommandsTest, becomingActive_refreshesACountNobodyReported)
{
    QGuiApplication::clipboard()->blockSignals(true);
    SetClipboard(kMarker + "unreported");
    QGuiApplication::clipboard()->blockSignals(false);
    EXPECT_EQ(main->PanelText(3), "No fortunes on clipboard");
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_EQ(main->PanelText(3), "1 fortune on clipboard");
    EXPECT_TRUE(PasteEnabled());
}

// The fortune goes through the clipboard as text of the ANSI code page and
// comes back into the archive in the same bytes.
TEST_F(ClipboardCommandsTest, nonAsciiFortune_survivesARoundTripInUtf8AndLatin1)
{
    const QString text = QStringLiteral("Gr\u00fc\u00dfe");
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    for (const Case& c : {Case{"UTF-8", "Gr\xc3\xbc\xc3\x9f"
                                        "e"},
                          Case{"ISO-8859-1", "Gr\xfc\xdf"
                                             "e"}}) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<zrv::test::Latin1Locale> latin1;
        if (c.bytes.size() == 5) {
            latin1 = std::make_unique<zrv::test::Latin1Locale>();
            if (!latin1->IsActive())
                GTEST_SKIP() << "no ISO-8859-1 locale can be generated here";
        }
        FortuneFiles::MakeArchive(Path(), "Header", {text});
        main->OpenArchive("Four");
        SelectRows({1});
        Run("mnuEditCopy");
        EXPECT_EQ(ClipboardText(), kMarker + text);
        Run("mnuEditPaste");
        EXPECT_EQ(FileBytes(Path()), "Header\n%\n" + c.bytes + "\n%\n" + c.bytes);
    }
}

namespace {

// A real Fortune object whose Add fails from a given call on and whose Item
// fails on request, as a failing disk or an exhausted memory would.
class FailingFortune final : public IFortune {
public:
    explicit FailingFortune(ComPtr<IFortune> real) : m_real(std::move(real)) {}
    int addsBeforeFailure = -1;
    bool itemFails = false;
    int adds = 0;

    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        return m_real->QueryInterface(iid, ppv);
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetTypeInfoCount(UINT* count) override { return m_real->GetTypeInfoCount(count); }
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override
    {
        return m_real->GetTypeInfo(index, lcid, info);
    }
    HRESULT GetIDsOfNames(const GUID& iid, LPOLESTR* names, UINT count, LCID lcid,
                          DISPID* ids) override
    {
        return m_real->GetIDsOfNames(iid, names, count, lcid, ids);
    }
    HRESULT Invoke(DISPID id, const GUID& iid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* info, UINT* argErr) override
    {
        return m_real->Invoke(id, iid, lcid, flags, params, result, info, argErr);
    }
    HRESULT Load(BSTR file) override { return m_real->Load(file); }
    HRESULT Count(LONG* count) override { return m_real->Count(count); }
    HRESULT Add(BSTR fortune) override
    {
        ++adds;
        if (addsBeforeFailure == 0)
            return DISP_E_EXCEPTION;
        --addsBeforeFailure;
        return m_real->Add(fortune);
    }
    HRESULT get_Item(LONG index, BSTR* fortune) override
    {
        return itemFails ? DISP_E_EXCEPTION : m_real->get_Item(index, fortune);
    }
    HRESULT put_Item(LONG index, BSTR fortune) override { return m_real->put_Item(index, fortune); }
    HRESULT Delete(LONG index) override { return m_real->Delete(index); }
    HRESULT Create(BSTR file) override { return m_real->Create(file); }
    HRESULT Rename(BSTR file) override { return m_real->Rename(file); }
    HRESULT Name(BSTR* file) override { return m_real->Name(file); }
    HRESULT get_Header(BSTR* header) override { return m_real->get_Header(header); }
    HRESULT put_Header(BSTR header) override { return m_real->put_Header(header); }

private:
    ComPtr<IFortune> m_real;
};

// The window as the clipboard commands see it: the list of three rows, the
// failing archive, and counters of what the commands asked of it. A deletion
// counts when it asks whether the archive still exists, and stops there.
class CountingWindow final : public CArchiveWindow {
public:
    CountingWindow(QAbstractItemView& list, IFortune& fortune)
        : mList(list), mArchive(ComPtr<IFortune>(&fortune))
    {}

    QWidget* Owner() override { return nullptr; }
    QAbstractItemView& FortuneList() override { return mList; }
    int KeyRole() const override { return CFortuneListModel::KeyRole; }
    const CArchiveObject& CurrentArchive() const override { return mArchive; }
    QString CurrentArchiveName() const override { return QStringLiteral("Three"); }
    QString AppPath() const override { return {}; }
    QString DataFolder() const override { return {}; }
    QString ArchivePath(const QString&) const override { return {}; }
    bool IsSafeName(const QString&) const override { return true; }
    bool ArchiveFileExists(const QString&) const override { return true; }
    bool ArchiveExists(const QString&) override
    {
        ++deletions;
        return false;
    }
    QStringList ListArchives() const override { return {}; }
    void OpenArchive(const QString&) override { ++reloads; }
    void CloseArchive() override {}
    ListMark MarkList() const override { return ListMark{true, 3}; }
    void ShowAppended(const ListMark& before, const QList<QString>& added) override
    {
        EXPECT_TRUE(before.exact);
        EXPECT_EQ(before.rows, 3);
        appendedRows.append(added);
    }
    void ShowDeleted(const ListMark&, const std::vector<int32_t>&) override {}
    void ShowHeader() override {}
    CUndoHistory& History() override { return history; }
    void ShowInserted(const ListMark&, const std::vector<int32_t>&) override {}
    void SelectFortunes(const std::vector<int32_t>&, int32_t) override {}
    void RefreshSelectionStatus() override {}
    void RefreshClipboardCommands() override {}

    int deletions = 0;
    int reloads = 0;
    QStringList appendedRows; // as the window was told to show them
    CUndoHistory history;

private:
    QAbstractItemView& mList;
    const CArchiveObject mArchive;
};

class ClipboardFailureTest : public testing::Test {
protected:
    ClipboardFailureTest()
    {
        SetClipboard({});
        rows.SetRows({"a", "b", "c"});
        list.setModel(&rows);
        list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    }

    EditorTestEnvironment environment;
    QString path = QString::fromStdString(zrv::test::MakeTempDir("clipboard")) + "/Three";
    FailingFortune fortune{FortuneFiles::MakeArchive(path, "Header", {"a", "b", "c"})};
    CFortuneListModel rows;
    QTreeView list;
    CountingWindow window{list, fortune};
    int& deletions = window.deletions;
    int& reloads = window.reloads;
    QStringList& appendedRows = window.appendedRows;
    const CFortuneCommands fortunes{window};
    const std::unique_ptr<CClipboardCommands> commands =
        std::make_unique<CClipboardCommands>(window, fortunes);
    zrv::test::ScriptedPrompts prompts;
};

} // namespace

TEST_F(ClipboardFailureTest, failingCopy_showsTheCutBoxDeletesNothingAndKeepsTheClipboard)
{
    SetClipboard(kMarker + "waiting");
    list.selectAll();
    fortune.itemFails = true;
    prompts.expectMessageBox(vbOK);
    commands->Cut();
    ASSERT_EQ(prompts.records().size(), 1u);
    const PromptRecord& box = prompts.records()[0];
    EXPECT_EQ(box.text, "Cut of Fortunes Failed");
    EXPECT_EQ(box.title, "Operation Failed");
    EXPECT_EQ(box.buttons, vbOKOnly);
    EXPECT_EQ(box.icon, vbExclamation);
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(ClipboardText(), kMarker + "waiting");
    EXPECT_THROW(commands->Copy(), std::exception);
}

TEST_F(ClipboardFailureTest, paste_appendsEveryFortuneInOneBatch)
{
    SetClipboard(kMarker + "d" + kMarker + "e\r\nmore" + kMarker + "f");
    commands->Paste();
    EXPECT_EQ(FortuneFiles::Fortunes(&fortune),
              (QStringList{"a", "b", "c", "d", "e\r\nmore", "f"}));
    EXPECT_EQ(fortune.adds, 0) << "no single Add";
    EXPECT_EQ(appendedRows, (QStringList{"d", "e", "f"}));
    EXPECT_EQ(reloads, 0);
}

// A batch the archive refuses (here for a text ending in a line of "%") goes
// one Add at a time: the first failing Add ends the paste, as it always did.
TEST_F(ClipboardFailureTest, pasteFailingPartWay_keepsWhatWasAddedAndShowsIt)
{
    const QString clipboard = kMarker + "d" + kMarker + "e" + kMarker + "f\r\n%" + kMarker + "g";
    SetClipboard(clipboard);
    commands->Paste();
    EXPECT_EQ(FortuneFiles::Fortunes(&fortune), (QStringList{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(reloads, 1);

    SetClipboard(clipboard);
    fortune.addsBeforeFailure = 1;
    commands->Paste();
    EXPECT_EQ(FortuneFiles::Fortunes(&fortune), (QStringList{"a", "b", "c", "d", "e", "d"}));
    EXPECT_EQ(reloads, 2);

    fortune.addsBeforeFailure = 0;
    commands->Paste();
    EXPECT_EQ(FortuneFiles::Fortunes(&fortune).size(), 6);
    EXPECT_EQ(reloads, 2) << "nothing added, nothing to show";
    EXPECT_TRUE(appendedRows.isEmpty()) << "a paste that stopped part way reads the file again";
}
