#pragma once

#include <cstdint>

// When a command of the main window may run.
namespace CommandState {

enum class Rule {
    Always,
    Archive,                // an archive is open
    ArchiveRows,            // ... and the list has rows
    ArchiveRowsSpreadsheet, // ... and a spreadsheet application is present
    ArchiveSpreadsheet,     // an archive is open and a spreadsheet application is present
    Selected,               // at least one row is selected
    ArchiveClip,            // an archive is open and the clipboard holds fortunes
    Undo,                   // the history has a step to undo
    Redo,                   // ... or to redo
};

// Which refresh routine sets a rule's commands.
enum class Setter { None, ArchiveCommands, SelectionStatus, ClipboardCommands };

struct Inputs {
    bool archive = false;
    int32_t rows = 0;
    int32_t selected = 0;
    bool spreadsheet = false;
    int32_t clip = 0;
    bool undo = false;
    bool redo = false;
};

bool IsEnabled(Rule rule, const Inputs& in);
Setter SetterOf(Rule rule);

} // namespace CommandState
