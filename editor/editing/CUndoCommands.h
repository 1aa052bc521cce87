#pragma once

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

    CArchiveWindow& mWindow;
};
