#pragma once

#include "editor/support/CArchiveObject.h"
#include "editor/support/CUndoHistory.h"
#include "editor/support/ListMark.h"

#include <cstdint>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class QAbstractItemView;
class QWidget;

// The main window as its commands see it: the owner of their dialogs, the
// fortune list, the open archive and the data folder it comes from, and the
// routines that show the archive again after a command changed it.
class CArchiveWindow {
public:
    CArchiveWindow() = default;
    CArchiveWindow(const CArchiveWindow&) = delete;
    CArchiveWindow& operator=(const CArchiveWindow&) = delete;

    // The window that owns the commands' dialogs.
    virtual QWidget* Owner() = 0;
    // The fortune list; each row carries its key ("I" + index) in KeyRole().
    virtual QAbstractItemView& FortuneList() = 0;
    virtual int KeyRole() const = 0;
    // The open archive; empty when none is open.
    virtual const CArchiveObject& CurrentArchive() const = 0;
    // Name of the open archive; empty when none is open.
    virtual QString CurrentArchiveName() const = 0;

    virtual QString AppPath() const = 0;
    virtual QString DataFolder() const = 0;
    // The full path of the named archive's file in the data folder.
    virtual QString ArchivePath(const QString& name) const = 0;
    virtual bool IsSafeName(const QString& name) const = 0;
    virtual bool ArchiveFileExists(const QString& name) const = 0;
    // False, after closing the archive and telling the user, when the named
    // archive's file is gone.
    virtual bool ArchiveExists(const QString& name) = 0;
    virtual QStringList ListArchives() const = 0;

    virtual void OpenArchive(const QString& name) = 0;
    virtual void CloseArchive() = 0;
    // The list's mark before a command changes the open archive's fortunes.
    virtual ListMark MarkList() const = 0;
    // The archive after these rows were appended to it, or the fortunes at
    // these indices (numbered as at the mark) were deleted; an inexact mark
    // shows it afresh.
    virtual void ShowAppended(const ListMark& before, const QList<QString>& rows) = 0;
    virtual void ShowDeleted(const ListMark& before, const std::vector<int32_t>& indices) = 0;
    // The header text after the archive's header changed.
    virtual void ShowHeader() = 0;
    // The steps of the open archive that can be undone and redone.
    virtual CUndoHistory& History() = 0;
    // The archive after fortunes were put in at these indices (numbered as
    // after the change); an inexact mark shows it afresh.
    virtual void ShowInserted(const ListMark& before, const std::vector<int32_t>& indices) = 0;
    // Selects these fortunes and makes `current` the current one (0 for none).
    virtual void SelectFortunes(const std::vector<int32_t>& selected, int32_t current) = 0;
    virtual void RefreshSelectionStatus() = 0;
    virtual void RefreshClipboardCommands() = 0;

protected:
    ~CArchiveWindow() = default;
};
