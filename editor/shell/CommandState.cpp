#include "editor/shell/CommandState.h"

namespace CommandState {

bool IsEnabled(Rule rule, const Inputs& in)
{
    switch (rule) {
    case Rule::Always:
        return true;
    case Rule::Archive:
        return in.archive;
    case Rule::ArchiveRows:
        return in.archive && in.rows >= 1;
    case Rule::ArchiveRowsSpreadsheet:
        return in.archive && in.rows >= 1 && in.spreadsheet;
    case Rule::ArchiveSpreadsheet:
        return in.archive && in.spreadsheet;
    case Rule::Selected:
        return in.selected >= 1;
    case Rule::ArchiveClip:
        return in.archive && in.clip >= 1;
    case Rule::Undo:
        return in.archive && in.undo;
    case Rule::Redo:
        return in.archive && in.redo;
    }
    return false;
}

Setter SetterOf(Rule rule)
{
    switch (rule) {
    case Rule::Always:
        return Setter::None;
    case Rule::Selected:
        return Setter::SelectionStatus;
    case Rule::ArchiveClip:
        return Setter::ClipboardCommands;
    default:
        return Setter::ArchiveCommands;
    }
}

} // namespace CommandState
