#pragma once

#include "editor/support/CUndoStep.h"
#include "editor/support/ListMark.h"

#include <cstdint>
#include <vector>

class CArchiveWindow;

// Undo and Redo of the main window: each takes one step of the open
// archive's history back or makes it again, in one write, provided the file
// is still exactly as the history left it.
class CUndoCommands final {
public:
    explicit CUndoCommands(CArchiveWindow& window) : mWindow(window) {}

    void Undo() const;
    void Redo() const;

private:
    void Take(bool undo) const;
    void Show(CUndoStep::Kind kind, bool inserted, const ListMark& before,
              const std::vector<int32_t>& indexes) const;

    CArchiveWindow& mWindow;
};
