#pragma once

#include "component/IFortune.h"
#include "editor/editing/ListMark.h"

#include <cstdint>
#include <functional>
#include <vector>

class QAbstractItemView;
class QWidget;

// The fortune-editing commands of the main window: Add, Edit, View, the
// archive header, the selection commands and deleting the selected
// fortunes. They work on the window's fortune list, whose rows carry their
// keys in keyRole, and reach the open archive through the Window callbacks.
class CFortuneCommands final {
public:
    struct Window {
        QWidget* owner = nullptr;
        QAbstractItemView* list = nullptr;
        int keyRole = 0;
        // The open archive; null when none is open.
        std::function<IFortune*()> fortune;
        // False, after telling the user, when the open archive's file is gone.
        std::function<bool()> stillExists;
        // Shows the open archive again after its fortunes changed.
        std::function<void()> reload;
        // The list's mark before a change.
        std::function<ListMark()> mark;
        // Shows the archive after the fortunes at these indexes (as numbered
        // at the mark) were deleted.
        std::function<void(const ListMark&, const std::vector<int32_t>&)> deleted;
        std::function<void()> headerChanged;
        std::function<void()> selectionChanged;
    };

    explicit CFortuneCommands(Window window);

    void AddFortune() const;
    void EditFortune() const;
    void ViewFortune() const;
    void EditHeader() const;
    void SelectAll() const;
    void InvertSelection() const;
    void DeselectAll() const;
    void DeleteSelectedFortunes() const;
    // Fortune index of the list's current row; 0 when there is none.
    int32_t CurrentIndex() const;

private:
    bool ArchiveAvailable() const;
    void ShowCurrentFortune(bool vbRW) const;

    Window mWindow;
};
