#pragma once

// Identities of the spreadsheet application's class.

#include "runtime/ZrvTypes.h"

namespace zrv::sheet {

#define ZRVSHEET_CLSID_TEXT "{EABFD427-9ED5-4BC0-BAB3-281356F4FDA8}"

constexpr CLSID CLSID_SheetApplication = {
    0xEABFD427, 0x9ED5, 0x4BC0, {0xBA, 0xB3, 0x28, 0x13, 0x56, 0xF4, 0xFD, 0xA8}};

} // namespace zrv::sheet
