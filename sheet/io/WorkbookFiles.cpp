// ReadWorkbookFile: reads the file once into memory (within kMaxFileBytes)
// and picks the reader by its first bytes and, for zip packages, by the
// entries the package holds.

#include "sheet/io/WorkbookFiles.h"

#include "engine/CUniqueFd.h"
#include "sheet/io/CCompoundFile.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/CZipPackage.h"
#include "sheet/io/FormatReaders.h"
#include "sheet/io/WorkbookLimits.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv::sheet {

namespace {

std::string ReadWholeFile(const std::string& path)
{
    const CUniqueFd file = OpenWorkbookFile(path);
    struct stat status {};
    if (fstat(file.Get(), &status) != 0)
        throw CReadError("cannot read " + path + ": " + std::strerror(errno));
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    const long long got = ReadFully(file.Get(), bytes.data(), status.st_size, 0);
    if (got < 0)
        throw CReadError("cannot read " + path + ": " + std::strerror(errno));
    if (got != status.st_size)
        throw CReadError(path + " changed while it was read");
    return bytes;
}

WorkbookData ReadZipPackage(std::string_view bytes)
{
    const CZipPackage package(bytes);
    if (package.Has("[Content_Types].xml"))
        return ReadXlsx(package);
    if (package.Has("content.xml"))
        return ReadOds(package);
    throw CReadError("a zip file that is neither xlsx nor ods");
}

// Office files protected with a password to open are compound files holding
// an "EncryptedPackage" stream, named in UTF-16 in the directory.
bool IsEncryptedPackage(std::string_view bytes)
{
    static const std::string name = [] {
        std::string utf16;
        for (const char c : std::string_view("EncryptedPackage"))
            utf16 += {c, '\0'};
        return utf16;
    }();
    return bytes.find(name) != std::string_view::npos;
}

WorkbookData ReadAny(std::string_view bytes)
{
    if (CZipPackage::LooksLikeZip(bytes))
        return ReadZipPackage(bytes);
    if (CCompoundFile::LooksLikeCompoundFile(bytes)) {
        if (IsEncryptedPackage(bytes))
            throw CReadError("the file is password-protected");
        return ReadXls(bytes);
    }
    return ReadCsv(bytes);
}

// One line, of a readable length, whatever a library put in its message.
std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    if (text.size() > 300)
        text.resize(300);
    return text;
}

template <class Read> std::optional<WorkbookData> Reasoned(const Read& read, std::string& error)
{
    try {
        return read();
    } catch (const CReadError& failure) {
        error = OneLine(failure.what());
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read the file";
    } catch (const std::exception& failure) {
        error = OneLine(std::string("damaged spreadsheet file: ") + failure.what());
    }
    return std::nullopt;
}

} // namespace

CUniqueFd OpenWorkbookFile(const std::string& path)
{
    // Non-blocking, so that a FIFO cannot stall the open; anything but a
    // regular file is refused below.
    CUniqueFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.IsOpen())
        throw CReadError("cannot open " + path + ": " + std::strerror(errno));
    struct stat status {};
    if (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw CReadError(path + " is not a file");
    if (static_cast<std::size_t>(status.st_size) > kMaxFileBytes)
        throw CReadError("the file is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB");
    return file;
}

std::optional<WorkbookData> ReadWorkbookFile(const std::string& path, std::string& error)
{
    return Reasoned([&] { return ReadAny(ReadWholeFile(path)); }, error);
}

std::optional<WorkbookData> ReadWorkbookBytes(std::string_view bytes, std::string& error)
{
    return Reasoned([&] { return ReadAny(bytes); }, error);
}

} // namespace zrv::sheet
