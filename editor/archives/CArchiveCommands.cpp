#include "editor/archives/CArchiveCommands.h"

#include "desktop/Prompts.h"
#include "editor/archives/CArchiveFolder.h"
#include "editor/archives/modForms.h"
#include "editor/editing/TrimSpaces.h"
#include "editor/support/CArchiveWindow.h"
#include "editor/support/Logging.h"

#include <exception>
#include <QFileInfo>

using namespace zrv::desktop;

void CArchiveCommands::ReportNameTaken() const
{
    MsgBox(QStringLiteral(
               "Creation of new Zorva Fortune archive Failed as an archive of the same name "
               "already exists."),
           vbOKOnly | vbCritical, QStringLiteral("Action Failed!"), mWindow.Owner());
}

// The name for a new or duplicated archive as typed, or empty when none
// was given or the user was told why it cannot be used.
QString CArchiveCommands::AskNewArchiveName() const
{
    const QString name =
        InputBox(QStringLiteral("What would you like to call your new Zorva Fortune archive?"),
                 QStringLiteral("New Zorva Fortune Archive"), {}, mWindow.Owner());
    if (TrimSpaces(name).isEmpty())
        return {};
    if (!mWindow.IsSafeName(name)) {
        MsgBox(QStringLiteral("This name cannot be used for a Zorva Fortune archive."),
               vbOKOnly | vbCritical, QStringLiteral("Action Failed!"), mWindow.Owner());
        return {};
    }
    if (mWindow.ArchiveFileExists(name)) {
        ReportNameTaken();
        return {};
    }
    return name;
}

void CArchiveCommands::NewArchive() const
{
    const QString name = AskNewArchiveName();
    if (name.isEmpty())
        return;
    const CArchiveFolder folder(mWindow.DataFolder());
    const CArchiveFolder::Outcome reserved = folder.ReserveArchive(name);
    if (reserved == CArchiveFolder::Outcome::NameTaken) {
        ReportNameTaken();
        return;
    }
    if (reserved == CArchiveFolder::Outcome::Done) {
        // The reserved file stays even when it cannot be given its contents.
        try {
            CArchiveObject::CreateEmpty(folder.PathOf(name));
        } catch (const std::exception& error) {
            qCWarning(lcEditor) << "new archive" << name << "left empty:" << error.what();
        }
    }
    mWindow.OpenArchive(name);
}

void CArchiveCommands::DuplicateArchive() const
{
    if (!mWindow.CurrentArchive())
        return;
    const QString name = AskNewArchiveName();
    if (name.isEmpty())
        return;
    if (CArchiveFolder(mWindow.DataFolder()).CopyArchive(mWindow.CurrentArchiveName(), name) ==
        CArchiveFolder::Outcome::NameTaken) {
        ReportNameTaken();
        return;
    }
    mWindow.OpenArchive(name);
}

void CArchiveCommands::DeleteArchive() const
{
    const QString name = mWindow.CurrentArchiveName();
    if (name.isEmpty())
        return;
    const int answer = MsgBox(
        QStringLiteral("All data in the archive will be lost.\r\nAre you sure you wish to "
                       "delete this entire Archive?"),
        vbYesNo | vbQuestion, QStringLiteral("Confirm Deletion of ") + name, mWindow.Owner());
    if (answer != vbYes)
        return;
    mWindow.CloseArchive();
    const CArchiveFolder folder(mWindow.DataFolder());
    // Only the named file counts: a pattern test would blame other files
    // that "*" or "?" in the name match.
    if (!folder.DeleteArchive(name) || QFileInfo::exists(folder.PathOf(name)))
        MsgBox(QStringLiteral("Unable to delete archive."), vbOKOnly, {}, mWindow.Owner());
}

void CArchiveCommands::OpenCommand() const
{
    QString choice;
    ShowSelect(mWindow.ListArchives(), choice, mWindow.Owner());
    if (!choice.isEmpty())
        mWindow.OpenArchive(choice);
}
