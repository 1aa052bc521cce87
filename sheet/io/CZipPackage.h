#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct zip;

namespace zrv::sheet {

// A zip package (xlsx, ods) held in memory, checked before anything parses it:
// consistent headers, no encrypted entries, entry count and uncompressed sizes
// within WorkbookLimits.h. Throws CReadError on any of these.
class CZipPackage final {
public:
    // `bytes` must outlive the package.
    explicit CZipPackage(std::string_view bytes);
    ~CZipPackage();
    CZipPackage(const CZipPackage&) = delete;
    CZipPackage& operator=(const CZipPackage&) = delete;

    // Whether `bytes` start like a zip file.
    static bool LooksLikeZip(std::string_view bytes);

    bool Has(const std::string& name) const;
    // Feeds the entry's uncompressed bytes to `sink` in chunks; throws when it
    // is missing, damaged or longer than its header says.
    void Stream(const std::string& name, const std::function<void(std::string_view)>& sink) const;
    std::string Read(const std::string& name) const;
    // A copy of the package holding only its entries that start as XML,
    // stored uncompressed, for a parser that must see nothing unchecked.
    // Refuses the package when one of them has damaged markup (XmlMarkup.h),
    // declares a document type (entity definitions), or hides its root
    // element behind a prolog longer than kMaxXmlPrologBytes.
    std::string XmlOnlyCopy() const;

    struct Closer {
        void operator()(struct zip* archive) const;
    };

private:
    std::unique_ptr<struct zip, Closer> m_zip;
};

} // namespace zrv::sheet
