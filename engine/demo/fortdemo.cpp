// Creates an example archive, adds, lists, edits and deletes fortunes, and
// shows the archive's bytes after each step.
#include "engine/CArchive.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

std::string Printable(const std::string& text)
{
    std::string shown;
    for (const unsigned char c : text) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else if (c < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            shown += escaped;
        } else
            shown += static_cast<char>(c);
    }
    return shown;
}

void ShowBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    std::cout << "  file (" << bytes.size() << " bytes):";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 16 == 0)
            std::cout << "\n   ";
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned char>(bytes[i]));
        std::cout << hex;
    }
    std::cout << "\n  as text: \"" << Printable(bytes) << "\"\n";
}

void List(zrv::CArchive& archive)
{
    const int32_t count = archive.Count();
    std::cout << "  " << archive.Name() << ": header \"" << Printable(archive.Header()) << "\", "
              << count << " fortune(s)\n";
    for (int32_t i = 1; i <= count; ++i)
        std::cout << "    " << i << ": \"" << Printable(archive.Item(i)) << "\"\n";
}

void Step(const std::string& what, zrv::CArchive& archive, const std::string& path)
{
    std::cout << "\n== " << what << "\n";
    List(archive);
    ShowBytes(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: fortdemo ARCHIVE\n";
        return 2;
    }
    const std::string path = argv[1];
    zrv::CArchive archive;

    archive.Create(path);
    Step("Create " + path, archive, path);

    archive.SetHeader("Proverbs");
    archive.Add("Look before you leap.");
    archive.Add("A\r\nB");
    Step("Header \"Proverbs\", Add two fortunes", archive, path);

    archive.Add("\r\nWhere there's a will, there's a way.\r\n");
    Step("Add a third (line breaks at both ends are trimmed)", archive, path);

    archive.SetItem(2, "Actions speak louder\r\nthan words.");
    Step("Edit fortune 2", archive, path);

    archive.Delete(1);
    Step("Delete fortune 1", archive, path);

    std::cout << "\nItem(0) is \"" << archive.Item(0) << "\", Item(" << archive.Count() + 1
              << ") is \"" << archive.Item(archive.Count() + 1) << "\": out of range is quiet.\n";
    return 0;
}
