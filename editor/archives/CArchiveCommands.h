#pragma once

#include <functional>
#include <QString>
#include <QStringList>

class QWidget;

// The archive-management commands of the main window: New, Duplicate,
// Delete and Open through frmSelect. The window's state and its archive
// view are reached through the Window callbacks.
class CArchiveCommands final {
public:
    struct Window {
        QWidget* owner = nullptr;
        std::function<QString()> dataFolder;
        std::function<bool()> isOpen;
        // Name of the open archive; empty when none is open.
        std::function<QString()> currentName;
        std::function<bool(const QString&)> nameTaken;
        std::function<bool(const QString&)> safeName;
        std::function<QStringList()> listArchives;
        // Writes a new, empty archive to the file at the path; may throw.
        std::function<void(const QString&)> createEmpty;
        std::function<void(const QString&)> open;
        std::function<void()> close;
    };

    explicit CArchiveCommands(Window window);

    void NewArchive() const;
    void DuplicateArchive() const;
    void DeleteArchive() const;
    void OpenCommand() const;

private:
    QString AskNewArchiveName() const;
    void ReportNameTaken() const;

    Window mWindow;
};
