#pragma once

#include <cstdint>
#include <QString>

class CArchiveWindow;

// The fortune-editing commands of the main window: Add, Edit, View, the
// archive header, the selection commands and deleting the selected
// fortunes. They work on the window's fortune list and its open archive.
class CFortuneCommands final {
public:
    explicit CFortuneCommands(CArchiveWindow& window) : mWindow(window) {}

    void AddFortune() const;
    void EditFortune() const;
    void ViewFortune() const;
    void EditHeader() const;
    void SelectAll() const;
    void InvertSelection() const;
    void DeselectAll() const;
    // Deletes the selected fortunes as one step of the history named `step`.
    void DeleteSelectedFortunes(const QString& step = QStringLiteral("Delete")) const;
    // Fortune index of the list's current row; 0 when there is none.
    int32_t CurrentIndex() const;

private:
    bool ArchiveAvailable() const;
    void ShowCurrentFortune(bool vbRW) const;

    CArchiveWindow& mWindow;
};
