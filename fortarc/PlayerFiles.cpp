#include "fortarc/PlayerFiles.h"

#include "fortarc/ArchiveCommands.h"
#include "fortarc/CAtomicFilePair.h"
#include "fortarc/CInputFile.h"
#include "fortarc/ConsoleText.h"
#include "fortarc/FortarcError.h"
#include "fortarc/FortuneFile.h"
#include "runtime/com/AsciiText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fortarc::PlayerFiles {

namespace {

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A text file: refused past what a strfile index can address.
std::string ReadFortuneText(const std::string& path)
{
    const CInputFile file(path);
    if (file.Size() > std::numeric_limits<uint32_t>::max())
        throw FortarcError(ExitCode::BadText, path + ": larger than a fortune file can be (4 GiB)");
    return file.ReadAll();
}

// The header of FILE.dat when there is one. An index larger than any strfile
// could write for the text is refused unread.
std::optional<StrfileHeader> ReadIndexHeader(const std::string& path, uint64_t textSize)
{
    const std::optional<CInputFile> index = CInputFile::OpenIfExists(path);
    if (!index)
        return std::nullopt;
    if (index->Size() > LargestStrfileIndex(textSize))
        throw FortarcError(ExitCode::BadText,
                           path + ": larger than a strfile index of its text file can be");
    const std::optional<StrfileHeader> header = ParseStrfileHeader(index->Read(kStrfileHeaderSize));
    if (!header)
        throw FortarcError(ExitCode::BadText, path + ": not a strfile index");
    return header;
}

// Files already at the export's names are replaced only when they are what an
// export leaves: a fortune file and its strfile index, both regular files.
void RequireReplaceablePair(const std::string& textPath, const std::string& indexPath)
{
    struct stat text {};
    struct stat index {};
    const bool hasText = ::lstat(textPath.c_str(), &text) == 0;
    const bool hasIndex = ::lstat(indexPath.c_str(), &index) == 0;
    if (!hasText && !hasIndex)
        return;
    const auto refuse = [](const std::string& why) {
        throw FortarcError(ExitCode::NameTaken, why + " (--force replaces what is there)");
    };
    if (!hasText)
        refuse(indexPath + " exists without " + textPath);
    if (!hasIndex)
        refuse(textPath + " exists without its strfile index " + indexPath);
    if (!S_ISREG(text.st_mode) || !S_ISREG(index.st_mode))
        refuse((S_ISREG(text.st_mode) ? indexPath : textPath) + ": not a regular file");
    const auto textSize = static_cast<uint64_t>(text.st_size);
    const CInputFile file(indexPath, false);
    if (file.Size() > LargestStrfileIndex(textSize) ||
        !IsStrfileIndexOf(file.Read(file.Size()), textSize))
        refuse(indexPath + ": not a strfile index of " + textPath);
}

// Compared as bytes: char16_t's own comparison goes unit by unit.
bool SameText(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() &&
           std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
}

// Whether the archive's last fortunes, after the `before` it had, are `added`
// as given (`converted`: some went through the code page); when they are not (a character the code
// page lacks became "?"), they are taken off again in one deletion, and only while nothing came
// after them. True when the import stands or was taken back; false when neither.
bool KeepOrTakeBack(CFortuneArchive& fortunes, int32_t before, const std::vector<BString>& added,
                    bool converted, bool& kept)
{
    try {
        const auto end = before + static_cast<int32_t>(added.size());
        // ASCII is itself in every code page: when no text needed converting,
        // the count tells all, and no snapshot of the archive is read back.
        kept = fortunes.Count() >= end;
        if (kept && converted) {
            const CSnapshotReader now = fortunes.Snapshot();
            kept = now.Count() >= end;
            for (int32_t i = before + 1; kept && i <= end; ++i)
                kept =
                    SameText(now.Text(i).view(), added[static_cast<size_t>(i - before - 1)].view());
        }
        if (kept)
            return true;
        if (fortunes.Count() != end)
            return false;
        std::vector<int32_t> indexes;
        for (int32_t i = before + 1; i <= end; ++i)
            indexes.push_back(i);
        fortunes.DeleteMany(indexes);
        return fortunes.Count() == before;
    } catch (const FortarcError&) {
        return false;
    }
}

// An entry of a fortune file as the archive will hold it, exactly: CR LF
// line ends. `prefix` and `number` name it in messages; `converted` is set
// when it was not ASCII.
BString ArchiveText(std::string_view entry, const std::string& prefix, size_t number,
                    bool& converted)
{
    const auto what = [&] { return prefix + std::to_string(number); };
    BString text = zrv::com::AsciiToBStringCrLf(entry);
    converted = !text.get();
    if (converted)
        text = BString(ToCrLf(FromConsole(entry, what())));
    if (!text.get())
        throw std::bad_alloc();
    // Entries are never empty here: only a last line of "%" is refused.
    if (EndsWithPercentLine(text.view()))
        ArchiveCommands::RequireStorable(text.view(), what());
    return text;
}

// Bytes of the text in UTF-8, which no code page the archive may be written
// in exceeds; counted without converting it.
unsigned long long Utf8Length(std::u16string_view text)
{
    unsigned long long bytes = 0;
    for (const char16_t unit : text)
        bytes += unit < 0x80 ? 1 : unit < 0x800 ? 2 : (unit >= 0xDC00 && unit < 0xE000) ? 1 : 3;
    return bytes;
}

// Appending needs room for the new fortunes (`adding` bytes), and taking
// them off again after a failure a rewrite of the whole archive beside it: refused up front when
// the folder's file system has not that much free.
void RequireRoom(const ArchiveRef& archive, unsigned long long adding)
{
    struct stat info {};
    struct statvfs space {};
    if (::stat(archive.path.c_str(), &info) != 0 ||
        ::statvfs(FolderOf(archive.path).c_str(), &space) != 0)
        return;
    const unsigned long long needed = static_cast<unsigned long long>(info.st_size) + 2 * adding;
    const unsigned long long free =
        static_cast<unsigned long long>(space.f_bavail) * space.f_frsize;
    if (free < needed)
        throw FortarcError(ExitCode::Failure,
                           archive.label +
                               ": not enough free space to import and, should that "
                               "fail, to take it back (" +
                               std::to_string(needed) + " bytes needed, " + std::to_string(free) +
                               " free)");
}

} // namespace

void ExportFortune(const CCommandContext& context, const std::string& archive,
                   const std::string& folder, bool force)
{
    const ArchiveRef ref = context.Resolve(archive);
    const CFortuneArchive fortunes = context.Open(ref, Access::Read);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw FortarcError(ExitCode::Failure, folder + ": no such folder");
    const std::string textName = ref.name;
    const std::string indexName = ref.name + ".dat";
    if (SameFile(folder + '/' + textName, ref.path) || SameFile(folder + '/' + indexName, ref.path))
        throw FortarcError(ExitCode::Failure,
                           ref.label + ": the export would replace the archive itself");
    if (!force)
        RequireReplaceablePair(folder + '/' + textName, folder + '/' + indexName);

    CFortuneFileBuilder builder;
    const CSnapshotReader snapshot = fortunes.Snapshot();
    const int32_t count = snapshot.Count();
    // The export is about the archive's size: its texts lose their CRs and
    // each gains a line end.
    struct stat archiveInfo {};
    if (::stat(ref.path.c_str(), &archiveInfo) == 0)
        builder.Reserve(static_cast<size_t>(archiveInfo.st_size) + static_cast<size_t>(count),
                        static_cast<size_t>(count));
    std::string text;
    for (int32_t i = 1; i <= count; ++i) {
        text.clear();
        if (!AppendFileText(snapshot.Text(i).view(), text))
            throw FortarcError(ExitCode::BadText,
                               ref.label + ": fortune " + std::to_string(i) +
                                   " holds a line that is only \"%\", which fortune(6) would "
                                   "play as two fortunes; nothing was written");
        if (!builder.Append(text))
            throw FortarcError(ExitCode::Failure,
                               ref.label + ": too large for a strfile index (4 GiB)");
    }
    CAtomicFilePair(folder, textName, indexName).Write(builder.Text(), builder.Index());
}

void ImportFortune(const CCommandContext& context, const std::string& file,
                   const std::string& archive)
{
    std::string text = ReadFortuneText(file);
    const StrfileHeader header =
        ReadIndexHeader(file + ".dat", text.size()).value_or(StrfileHeader{});
    // Split as stored, then turned back in place: the views stay valid.
    const std::vector<std::string_view> entries = SplitFortuneText(text, header.delimiter);
    if ((header.flags & kStrfileRotated) != 0)
        Rot13(text);

    // Every entry is checked before the archive is touched. Each is kept as
    // fortune(6) prints it, blank lines at either end included.
    std::vector<BString> storable;
    storable.reserve(entries.size());
    unsigned long long adding = 0;
    bool converted = false;
    size_t blank = 0;
    const std::string prefix = file + ": entry ";
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].find_first_not_of("\r\n") == std::string::npos) {
            ++blank;
            continue;
        }
        bool viaCodePage = false;
        storable.push_back(ArchiveText(entries[i], prefix, i + 1, viaCodePage));
        const std::u16string_view added = storable.back().view();
        adding += (viaCodePage ? Utf8Length(added) : added.size()) + 3;
        converted = converted || viaCodePage;
    }

    const ArchiveRef ref = context.Resolve(archive);
    CFortuneArchive fortunes = context.Open(ref, Access::Append);
    RequireRoom(ref, adding);
    const int32_t before = fortunes.Count();
    // One batch: on failure the archive is as it was.
    fortunes.AddMany(storable, FORTUNE_ADD_EXACT);
    bool kept = false;
    const bool settled = KeepOrTakeBack(fortunes, before, storable, converted, kept);
    if (!kept)
        throw FortarcError(
            ExitCode::Failure,
            ref.label + ": the archive did not keep the entries as given" +
                (settled ? "; nothing was imported" : "; they could not be taken off again"));
    if (blank > 0)
        std::fprintf(stderr, "fortarc: %s: %zu entries of blank lines only were skipped\n",
                     file.c_str(), blank);
}

} // namespace fortarc::PlayerFiles
