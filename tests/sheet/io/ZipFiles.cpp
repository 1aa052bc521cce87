#include "tests/sheet/io/ZipFiles.h"

#include <fstream>
#include <stdexcept>
#include <zip.h>

namespace zrv::test {

std::string ZipBytes(const ZipEntries& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        throw std::runtime_error("cannot start a zip buffer");
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    if (!archive) {
        zip_source_free(buffer);
        throw std::runtime_error("cannot start a zip file");
    }
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            zip_source_free(buffer);
            throw std::runtime_error("cannot add " + name);
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 name == "mimetype" ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 1);
    }
    std::string bytes;
    if (zip_close(archive) == 0 && zip_source_open(buffer) == 0) {
        char chunk[65536];
        for (zip_int64_t got; (got = zip_source_read(buffer, chunk, sizeof chunk)) > 0;)
            bytes.append(chunk, static_cast<std::size_t>(got));
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

void WriteZip(const std::string& path, const ZipEntries& entries)
{
    const std::string bytes = ZipBytes(entries);
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (bytes.empty() || !out.flush())
        throw std::runtime_error("cannot write " + path);
}

ZipEntries XlsxPackage(const std::string& sheetData, const std::string& sharedStrings)
{
    const std::string head = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                             "\n";
    const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const std::string pkg = "http://schemas.openxmlformats.org/package/2006/relationships";
    const std::string ct = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    std::string types =
        head +
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Override PartName="/xl/workbook.xml" ContentType=")" +
        ct +
        R"(sheet.main+xml"/>)"
        R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType=")" +
        ct + R"(worksheet+xml"/>)";
    std::string workbookRels = head + "<Relationships xmlns=\"" + pkg + "\">" +
                               R"(<Relationship Id="rId1" Type=")" + rel +
                               R"(/worksheet" Target="worksheets/sheet1.xml"/>)";
    if (!sharedStrings.empty()) {
        types += R"(<Override PartName="/xl/sharedStrings.xml" ContentType=")" + ct +
                 R"(sharedStrings+xml"/>)";
        workbookRels += R"(<Relationship Id="rId2" Type=")" + rel +
                        R"(/sharedStrings" Target="sharedStrings.xml"/>)";
    }
    ZipEntries entries = {
        {"[Content_Types].xml", types + "</Types>"},
        {"_rels/.rels", head + "<Relationships xmlns=\"" + pkg + "\">" +
                            R"(<Relationship Id="rId1" Type=")" + rel +
                            R"(/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml", head + "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                                "\"><sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/>"
                                "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", workbookRels + "</Relationships>"},
        {"xl/worksheets/sheet1.xml", head + "<worksheet xmlns=\"" + main + "\"><sheetData>" +
                                         sheetData + "</sheetData></worksheet>"},
    };
    if (!sharedStrings.empty())
        entries.emplace_back("xl/sharedStrings.xml",
                             head + "<sst xmlns=\"" + main + "\">" + sharedStrings + "</sst>");
    return entries;
}

ZipEntries ReadZip(const std::string& path)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        throw std::runtime_error("cannot open " + path);
    ZipEntries entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
        entries.emplace_back(name ? name : "", "");
    }
    zip_discard(archive);
    for (auto& [name, bytes] : entries)
        bytes = ReadZipEntry(path, name);
    return entries;
}

std::string ReadZipEntry(const std::string& path, const std::string& name)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return {};
    std::string bytes;
    if (zip_file_t* file = zip_fopen(archive, name.c_str(), 0)) {
        char buffer[4096];
        for (zip_int64_t got; (got = zip_fread(file, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, static_cast<std::size_t>(got));
        zip_fclose(file);
    }
    zip_discard(archive);
    return bytes;
}

} // namespace zrv::test
