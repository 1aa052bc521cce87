#pragma once

#include "component/IFortune.h"
#include "editor/editing/ListMark.h"

#include <cstdint>
#include <functional>
#include <QList>
#include <QString>
#include <string>
#include <vector>

class QAbstractItemView;
class QWidget;

// Cut, Copy and Paste of the main window: the selected fortunes travel as the
// clipboard text of modClipboardFormat in the plain-text format, so that any
// editor window can paste them. The commands work on the window's fortune
// list, whose rows carry their keys in keyRole, and reach the open archive
// through the Window callbacks.
class CClipboardCommands final {
public:
    struct Window {
        QWidget* owner = nullptr;
        QAbstractItemView* list = nullptr;
        int keyRole = 0;
        // The open archive; null when none is open.
        std::function<IFortune*()> fortune;
        // Asks, deletes the selected fortunes and shows the archive again.
        std::function<void()> deleteSelected;
        // Shows the open archive again after its fortunes changed.
        std::function<void()> reload;
        // The list's mark before a change.
        std::function<ListMark()> mark;
        // Shows the archive after these rows were appended to it.
        std::function<void(const ListMark&, const QList<QString>&)> appended;
        // Shows the clipboard's count and sets the Paste command.
        std::function<void()> refresh;
    };

    // Keeps the clipboard keys away from the list's own clipboard handling:
    // they belong to the commands, which may be disabled.
    explicit CClipboardCommands(Window window);

    // The clipboard text of the selected fortunes, in list order, with
    // their full texts in the ANSI code page; empty without an archive.
    std::string BuildClipboardText() const;
    // Puts the selected fortunes on the clipboard; a failure is thrown.
    void Copy() const;
    // Copy, then the deletion with its question; a failure is shown.
    void Cut() const;
    // Adds the clipboard's fortunes at the end of the open archive.
    void Paste() const;

    // The clipboard's fortunes in order; false when it holds none.
    static bool ParseClipboardFortunes(std::vector<std::u16string>& rasFortunes);
    static int32_t ClipboardFortuneCount();

private:
    Window mWindow;
};
