#pragma once

#include <cstdint>

// What the fortune list showed when a command began to change the archive's
// fortunes: whether the file was still exactly the one the list was built
// from, and how many rows it had. Only an exact mark lets the list follow the
// command's own change row by row; any other ends in a reload.
struct ListMark {
    bool exact = false;
    int32_t rows = 0;
};
