#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CArchiveWindow;
class CFortuneCommands;

// Cut, Copy and Paste of the main window: the selected fortunes travel as the
// clipboard text of modClipboardFormat in the plain-text format, so that any
// editor window can paste them. The commands work on the window's fortune
// list and its open archive; Cut deletes through the fortune commands.
class CClipboardCommands final {
public:
    // Keeps the clipboard keys away from the list's own clipboard handling:
    // they belong to the commands, which may be disabled.
    CClipboardCommands(CArchiveWindow& window, const CFortuneCommands& fortunes);

    // The clipboard text of the selected fortunes, in list order, with
    // their full texts in the ANSI code page; empty without an archive.
    std::string BuildClipboardText() const;
    // Puts the selected fortunes on the clipboard; a failure is thrown.
    void Copy() const;
    // Copy, then the deletion with its question; a failure is shown.
    void Cut() const;
    // Adds the clipboard's fortunes at the end of the open archive.
    void Paste() const;

private:
    CArchiveWindow& mWindow;
    const CFortuneCommands& mFortunes;
};
