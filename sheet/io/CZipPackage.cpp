#include "sheet/io/CZipPackage.h"

#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/WorkbookLimits.h"
#include "sheet/io/XmlMarkup.h"

#include <array>
#include <atomic>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>
#include <zip.h>

namespace zrv::sheet {

namespace {

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFile = std::unique_ptr<zip_file_t, FileCloser>;

// What follows the prolog of an XML entity: whether its root element is
// reached without a document type declaration.
enum class Prolog { NotXml, Clean, Refused };

Prolog ScanProlog(std::string_view head, bool complete)
{
    std::size_t i = head.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    bool sawMarkup = false;
    while (true) {
        while (i < head.size() &&
               (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n'))
            ++i;
        if (i >= head.size())
            return complete ? (sawMarkup ? Prolog::Clean : Prolog::NotXml) : Prolog::Refused;
        if (head[i] != '<')
            return sawMarkup ? Prolog::Refused : Prolog::NotXml;
        const std::string_view rest = head.substr(i);
        std::size_t end = std::string_view::npos;
        if (rest.starts_with("<?"))
            end = rest.find("?>");
        else if (rest.starts_with("<!--"))
            end = rest.find("-->");
        else if (rest.starts_with("<!"))
            return Prolog::Refused;
        else
            return Prolog::Clean;
        if (end == std::string_view::npos)
            return Prolog::Refused;
        sawMarkup = true;
        i += end + 2;
    }
}

// Reads until `size` bytes are in or the entry ends; returns how many.
std::size_t ReadUpTo(zip_file_t* file, char* data, std::size_t size)
{
    std::size_t filled = 0;
    while (filled < size) {
        const zip_int64_t got = zip_fread(file, data + filled, size - filled);
        if (got < 0)
            throw CReadError("damaged zip package entry");
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    return filled;
}

struct XmlEntry {
    std::string name;
    std::string xml;
};

// The entry when it starts as XML, which it must then do with a short
// prolog and no document type; nothing when it does not start as XML (an
// entry named .xml or .rels must). Its markup is checked afterwards
// (MarkupFaults); its text is not: a string that is not UTF-8 is for the
// reader to mend.
std::optional<XmlEntry> XmlEntryAt(struct zip* archive, zip_uint64_t index)
{
    zip_stat_t status;
    ZipFile file(zip_fopen_index(archive, index, 0));
    if (!file || zip_stat_index(archive, index, 0, &status) != 0 ||
        !(status.valid & ZIP_STAT_SIZE) || !(status.valid & ZIP_STAT_NAME))
        throw CReadError("damaged zip package entry");
    XmlEntry entry{status.name, std::string()};
    // The size was checked against the limits when the package was opened.
    std::string& xml = entry.xml;
    xml.resize(static_cast<std::size_t>(status.size));
    const std::size_t head =
        ReadUpTo(file.get(), xml.data(), std::min(xml.size(), kMaxXmlPrologBytes));
    switch (ScanProlog(std::string_view(xml.data(), head), head < kMaxXmlPrologBytes)) {
    case Prolog::NotXml:
        if (entry.name.ends_with(".xml") || entry.name.ends_with(".rels"))
            throw CReadError("damaged XML in " + entry.name + " (not XML)");
        return std::nullopt;
    case Prolog::Refused:
        throw CReadError("refused XML document type or prolog in " + entry.name);
    case Prolog::Clean:
        break;
    }
    xml.resize(head + ReadUpTo(file.get(), xml.data() + head, xml.size() - head));
    char more;
    if (ReadUpTo(file.get(), &more, 1) != 0)
        throw CReadError("package entry " + entry.name + " is longer than it says");
    return entry;
}

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using ZipSource = std::unique_ptr<zip_source_t, SourceFree>;

// A zip file of `entries`, stored without compression.
std::string StoredZip(const std::vector<XmlEntry>& entries)
{
    const auto failed = [] { return CReadError("cannot copy the zip package"); };
    ZipSource buffer(zip_source_buffer_create(nullptr, 0, 0, nullptr));
    if (!buffer)
        throw failed();
    zip_source_keep(buffer.get()); // the archive's close must leave the written bytes
    std::unique_ptr<struct zip, CZipPackage::Closer> archive(
        zip_open_from_source(buffer.get(), ZIP_TRUNCATE, nullptr));
    if (!archive) {
        zip_source_free(buffer.get()); // the reference the archive did not take
        throw failed();
    }
    for (const XmlEntry& entry : entries) {
        ZipSource source(zip_source_buffer(archive.get(), entry.xml.data(), entry.xml.size(), 0));
        const zip_int64_t index =
            source ? zip_file_add(archive.get(), entry.name.c_str(), source.get(), ZIP_FL_ENC_UTF_8)
                   : -1;
        if (index < 0)
            throw failed();
        source.release(); // the archive owns it now
        zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive.get()) != 0)
        throw failed();
    archive.release();
    std::string bytes;
    if (zip_source_open(buffer.get()) != 0)
        throw failed();
    std::array<char, 65536> chunk;
    for (zip_int64_t got; (got = zip_source_read(buffer.get(), chunk.data(), chunk.size())) > 0;)
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    zip_source_close(buffer.get());
    return bytes;
}

// The entries' markup faults and, while they are checked, their stored copy.
struct CheckedEntries {
    std::vector<std::optional<std::string>> faults; // of each entry
    std::optional<std::string> copy;                // made already
    std::exception_ptr copyFailure;                 // why it could not be
};

// When there is enough to check for a second thread to pay, that thread
// makes the copy (to be thrown away if a check fails) and then takes
// entries to check as this one does, in order.
CheckedEntries CheckMarkup(const std::vector<XmlEntry>& entries, bool copy)
{
    constexpr std::size_t kBytesForTwoThreads = 256u << 10;
    CheckedEntries checked;
    checked.faults.resize(entries.size());
    std::atomic<std::size_t> next = 0;
    const auto check = [&] {
        for (std::size_t i; (i = next++) < entries.size();)
            checked.faults[i] = XmlMarkupFault(entries[i].xml);
    };
    std::size_t total = 0;
    for (const XmlEntry& entry : entries)
        total += entry.xml.size();
    std::exception_ptr checkFailure;
    {
        std::optional<std::jthread> second;
        if (total >= kBytesForTwoThreads) {
            try {
                second.emplace([&] {
                    try {
                        if (copy)
                            checked.copy = StoredZip(entries);
                    } catch (...) {
                        checked.copyFailure = std::current_exception();
                    }
                    try {
                        check();
                    } catch (...) {
                        checkFailure = std::current_exception();
                    }
                });
            } catch (const std::system_error&) {
                // No thread to be had: this one does it all.
            }
        }
        check();
    }
    if (checkFailure)
        std::rethrow_exception(checkFailure);
    return checked;
}

} // namespace

void CZipPackage::Closer::operator()(struct zip* archive) const
{
    zip_discard(archive);
}

bool CZipPackage::LooksLikeZip(std::string_view bytes)
{
    return bytes.starts_with(std::string_view("PK\x03\x04", 4));
}

CZipPackage::CZipPackage(std::string_view bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        throw CReadError("cannot read the zip package");
    }
    m_zip.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!m_zip) {
        zip_source_free(source);
        const std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw CReadError("damaged zip package: " + reason);
    }
    zip_error_fini(&error);

    const zip_int64_t count = zip_get_num_entries(m_zip.get(), 0);
    if (count < 0 || static_cast<std::size_t>(count) > kMaxZipEntries)
        throw CReadError("the zip package has more than " + std::to_string(kMaxZipEntries) +
                         " entries");
    std::size_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t status;
        if (zip_stat_index(m_zip.get(), static_cast<zip_uint64_t>(i), 0, &status) != 0)
            throw CReadError("damaged zip package entry");
        if ((status.valid & ZIP_STAT_ENCRYPTION_METHOD) && status.encryption_method != ZIP_EM_NONE)
            throw CReadError("the file is password-protected");
        if ((status.valid & ZIP_STAT_COMP_METHOD) &&
            !zip_compression_method_supported(status.comp_method, 0))
            throw CReadError("a zip package entry is compressed with a method that cannot be read "
                             "(method " +
                             std::to_string(status.comp_method) + ")");
        if (!(status.valid & ZIP_STAT_SIZE) || status.size > kMaxZipEntryBytes)
            throw CReadError("a zip package entry is larger than " +
                             std::to_string(kMaxZipEntryBytes >> 20) + " MiB");
        total += static_cast<std::size_t>(status.size);
        if (total > kMaxZipTotalBytes)
            throw CReadError("the zip package unpacks to more than " +
                             std::to_string(kMaxZipTotalBytes >> 20) + " MiB");
    }
}

CZipPackage::~CZipPackage() = default;

bool CZipPackage::Has(const std::string& name) const
{
    return zip_name_locate(m_zip.get(), name.c_str(), 0) >= 0;
}

void CZipPackage::Stream(const std::string& name,
                         const std::function<void(std::string_view)>& sink) const
{
    zip_stat_t status;
    if (zip_stat(m_zip.get(), name.c_str(), 0, &status) != 0)
        throw CReadError("the package has no " + name);
    ZipFile file(zip_fopen(m_zip.get(), name.c_str(), 0));
    if (!file)
        throw CReadError("cannot open " + name + " in the package");
    std::array<char, 65536> buffer;
    zip_uint64_t total = 0;
    while (true) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0)
            throw CReadError("damaged package entry " + name);
        if (got == 0)
            break;
        total += static_cast<zip_uint64_t>(got);
        if (total > status.size)
            throw CReadError("package entry " + name + " is longer than it says");
        sink(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
}

std::string CZipPackage::Read(const std::string& name) const
{
    std::string bytes;
    Stream(name, [&](std::string_view chunk) { bytes.append(chunk); });
    return bytes;
}

std::string CZipPackage::XmlOnlyCopy() const
{
    // Every entry is unpacked first and its markup checked after, but the
    // reason given is the one of the first entry in the package that fails.
    std::vector<XmlEntry> entries;
    std::exception_ptr unpacking;
    const zip_int64_t count = zip_get_num_entries(m_zip.get(), 0);
    try {
        for (zip_int64_t i = 0; i < count; ++i) {
            if (auto entry = XmlEntryAt(m_zip.get(), static_cast<zip_uint64_t>(i)))
                entries.push_back(std::move(*entry));
        }
    } catch (const CReadError&) {
        unpacking = std::current_exception();
    }
    CheckedEntries checked = CheckMarkup(entries, !unpacking);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (checked.faults[i])
            throw CReadError("damaged XML in " + entries[i].name + " (" + *checked.faults[i] + ")");
    }
    if (unpacking)
        std::rethrow_exception(unpacking);
    if (checked.copyFailure)
        std::rethrow_exception(checked.copyFailure);
    return checked.copy ? std::move(*checked.copy) : StoredZip(entries);
}

} // namespace zrv::sheet
