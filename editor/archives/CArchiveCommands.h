#pragma once

#include <QString>

class CArchiveWindow;

// The archive-management commands of the main window: New, Duplicate,
// Delete and Open through frmSelect.
class CArchiveCommands final {
public:
    explicit CArchiveCommands(CArchiveWindow& window) : mWindow(window) {}

    void NewArchive() const;
    void DuplicateArchive() const;
    void DeleteArchive() const;
    void OpenCommand() const;

private:
    QString AskNewArchiveName() const;
    void ReportNameTaken() const;

    CArchiveWindow& mWindow;
};
