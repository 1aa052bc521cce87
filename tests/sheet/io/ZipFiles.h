#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zrv::test {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// The bytes of a zip file holding `entries` (name, bytes) in order, deflated;
// an entry named "mimetype" is stored, as OpenDocument wants it.
std::string ZipBytes(const ZipEntries& entries);
void WriteZip(const std::string& path, const ZipEntries& entries);
// The entries of a minimal xlsx package with one sheet "Data" whose
// <sheetData> content is `sheetData`, and a shared string table holding
// `sharedStrings` (<si> elements) when that is not empty.
ZipEntries XlsxPackage(const std::string& sheetData, const std::string& sharedStrings = "");

// All entries of a zip file, in order.
ZipEntries ReadZip(const std::string& path);
// The bytes of one entry of a zip file ("" when missing).
std::string ReadZipEntry(const std::string& path, const std::string& name);

} // namespace zrv::test
