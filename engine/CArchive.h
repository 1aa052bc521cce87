#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zrv {

// One fortune archive file: a free-text header followed by fortunes, each
// introduced by the separator LF % LF. Only the path, the header and the start
// offsets of the fortunes are kept in memory; texts are read from the file on
// every request, and every change is on disk before the call returns.
//
// No operation reports a failure of its own: a bad index, a missing file or a
// failed write ends in a quiet state (empty result, no archive open, archive
// unchanged). Only exhaustion of memory and the like escape as exceptions.
class CArchive {
public:
    CArchive() = default;
    virtual ~CArchive() = default;
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    void Load(const std::string& path);
    void Create(const std::string& path);
    // Number of fortunes; reloads first when the file changed on disk.
    virtual int32_t Count();
    // Appends a fortune (line breaks trimmed at both ends; empty adds nothing).
    void Add(const std::string& text);
    // Fortune text (1-based) with CR LF line ends; empty when out of range.
    std::string Item(int32_t index);
    // Replaces a fortune; a text of line breaks only deletes it.
    void SetItem(int32_t index, const std::string& text);
    void Delete(int32_t index);
    // Header of the last load with CR LF line ends.
    std::string Header() const;
    // Replaces the header exactly as given.
    void SetHeader(const std::string& text);
    // Bare file name of the open archive; empty when none is open.
    std::string Name() const;
    // Renames the archive within its folder; never replaces an existing file.
    void Rename(const std::string& newName);

    static std::string TrimLineBreaks(const std::string& text);
    static std::string ToCrLf(const std::string& text);
};

} // namespace zrv
