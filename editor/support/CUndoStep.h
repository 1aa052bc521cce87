#pragma once

#include "runtime/com/BString.h"

#include <cstddef>
#include <cstdint>
#include <QString>
#include <utility>
#include <vector>

// One change the window made to its open archive, held as what it takes to
// take the change back and to make it again.
struct CUndoStep {
    enum class Kind {
        Inserted, // `texts` now stand at `indexes`
        Deleted,  // `texts` stood at `indexes`, numbered as before the change
        Replaced, // the fortune at indexes[0]: texts[0] before, texts[1] after
        Header,   // the header: texts[0] before, texts[1] after
    };

    CUndoStep(QString name, Kind kind, std::vector<int32_t> indexes = {},
              std::vector<BString> texts = {})
        : name(std::move(name)), kind(kind), indexes(std::move(indexes)), texts(std::move(texts))
    {}

    QString name; // as the Edit menu names it: "Delete", "Import", ...
    Kind kind;
    std::vector<int32_t> indexes; // 1-based, ascending
    std::vector<BString> texts;
    // The list's selection and current fortune before the change.
    std::vector<int32_t> selected;
    int32_t current = 0;

    // The memory its texts take.
    size_t Bytes() const
    {
        size_t bytes = 0;
        for (const BString& text : texts)
            bytes += text.view().size() * sizeof(char16_t);
        return bytes + indexes.size() * sizeof(int32_t);
    }
};
