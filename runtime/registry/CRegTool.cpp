#include "runtime/registry/CRegTool.h"

#include "runtime/registry/AnsiText.h"
#include "runtime/registry/CRegKey.h"
#include "runtime/registry/NameFold.h"
#include "runtime/registry/RegValueText.h"
#include "runtime/registry/WinReg.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace zrv::reg {

namespace {

constexpr const char* Usage = "usage: zrvreg query KEY [/v NAME | /ve] [/s] | add KEY [/v NAME | "
                              "/ve] [/t TYPE] [/d DATA] [/f]"
                              " | delete KEY [/v NAME | /ve] [/f] | export KEY FILE | import FILE";
constexpr const char* Done = "The operation completed successfully.";

struct ValueEntry {
    std::string name;
    DWORD type = 0;
    std::string data;
};

// The values of key in order; sizes are asked first, so any size fits.
LONG ReadValues(HKEY key, std::vector<ValueEntry>& values)
{
    DWORD count = 0, maxName = 0, maxData = 0;
    LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &count, &maxName, &maxData, nullptr, nullptr);
    for (DWORD i = 0; result == ERROR_SUCCESS && i < count; ++i) {
        std::string name(maxName + 1, '\0');
        std::string data(maxData, '\0');
        DWORD nameLength = maxName + 1;
        DWORD size = maxData;
        DWORD type = 0;
        result = RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_SUCCESS)
            values.push_back({name.substr(0, nameLength), type, data.substr(0, size)});
    }
    return result;
}

LONG ReadSubKeys(HKEY key, std::vector<std::string>& names)
{
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof name;
        const LONG result =
            RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (result != ERROR_SUCCESS)
            return result;
        names.emplace_back(name, length);
    }
}

LONG ReadKey(HKEY key, std::vector<ValueEntry>& values, std::vector<std::string>& subKeys)
{
    const LONG result = ReadValues(key, values);
    return result == ERROR_SUCCESS ? ReadSubKeys(key, subKeys) : result;
}

} // namespace

CRegTool::CRegTool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

int CRegTool::Fail(const std::string& message)
{
    m_err << "ERROR: " << message << '\n';
    return 1;
}

int CRegTool::FailCode(LONG code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_KEY_DELETED:
        return Fail("The system was unable to find the specified registry key or value.");
    case ERROR_ACCESS_DENIED:
        return Fail("Access is denied.");
    case ERROR_BADDB:
    case ERROR_CANTOPEN:
    case ERROR_CANTREAD:
        return Fail("The registry hive cannot be read (code " + std::to_string(code) + ").");
    default:
        return Fail("The registry operation failed (code " + std::to_string(code) + ").");
    }
}

bool CRegTool::Confirm(const std::string& question, bool force)
{
    // Without a terminal to ask, the tool does as it is told.
    if (force || !isatty(STDIN_FILENO))
        return true;
    m_out << question << " (Yes/No)? " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

bool CRegTool::ParseOptions(const std::vector<std::string>& args, Options& options)
{
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Anything else that starts with / is a file name.
        const std::string name =
            arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-') ? Lower(arg.substr(1)) : "";
        const bool isSwitch = name == "v" || name == "ve" || name == "t" || name == "d" ||
                              name == "f" || name == "y" || name == "s";
        if (!isSwitch) {
            options.positional.push_back(arg);
            continue;
        }
        const bool takesValue = name == "v" || name == "t" || name == "d";
        if (takesValue && i + 1 >= args.size())
            return Fail(arg + " needs a value") == 0;
        if (name == "v" || name == "ve") {
            if (options.valueName)
                return Fail("give /v or /ve once") == 0;
            options.valueName = name == "v" ? args[++i] : std::string();
        } else if (name == "t") {
            options.type = args[++i];
        } else if (name == "d") {
            options.data = args[++i];
        } else if (name == "f" || name == "y") {
            options.force = true;
        } else {
            options.recurse = true;
        }
    }
    return true;
}

bool CRegTool::ParseKey(const std::string& text, RootedKey& key)
{
    if (ParseRootedKey(text, key)) {
        key.subKey = Utf8ToAnsi(key.subKey);
        return true;
    }
    Fail("invalid key name " + text + "; it must start with HKCU, HKLM, HKCR or their long names");
    return false;
}

int CRegTool::Run(const std::vector<std::string>& args)
{
    if (args.empty())
        return Fail(Usage);
    Options options;
    if (!ParseOptions(args, options))
        return 1;
    const std::string operation = Lower(args[0]);
    const size_t wanted = operation == "export" ? 2 : 1;
    if (options.positional.size() != wanted)
        return Fail(Usage);
    if (operation == "query")
        return Query(options);
    if (operation == "add")
        return Add(options);
    if (operation == "delete")
        return Delete(options);
    if (operation == "export")
        return Export(options);
    if (operation == "import")
        return Import(options);
    return Fail(Usage);
}

int CRegTool::Query(const Options& options)
{
    RootedKey rooted;
    if (!ParseKey(options.positional[0], rooted))
        return 1;
    CRegKey key;
    if (const LONG result =
            RegOpenKeyExA(rooted.root, rooted.subKey.c_str(), 0, KEY_READ, key.put());
        result != ERROR_SUCCESS)
        return FailCode(result);
    bool printed = false;
    std::string path = rooted.rootName;
    if (!rooted.subKey.empty())
        path.append("\\").append(AnsiToUtf8(rooted.subKey));
    if (!QueryKey(key.get(), path, options, printed))
        return 1;
    if (options.valueName && !printed)
        return FailCode(ERROR_FILE_NOT_FOUND);
    return 0;
}

bool CRegTool::QueryKey(HKEY key, const std::string& path, const Options& options, bool& printed)
{
    std::vector<ValueEntry> values;
    std::vector<std::string> subKeys;
    LONG result = ReadKey(key, values, subKeys);
    if (result != ERROR_SUCCESS)
        return FailCode(result) == 0;
    if (options.valueName) {
        const std::string wanted = FoldName(Utf8ToAnsi(*options.valueName));
        std::erase_if(values,
                      [&](const ValueEntry& value) { return FoldName(value.name) != wanted; });
    }
    if (!options.valueName || !values.empty()) {
        m_out << '\n' << path << '\n';
        for (const ValueEntry& value : values)
            PrintValue(value.name, value.type, value.data);
        printed = true;
    }
    if (!options.recurse) {
        if (!options.valueName && !subKeys.empty()) {
            m_out << '\n';
            for (const std::string& name : subKeys)
                m_out << path << '\\' << AnsiToUtf8(name) << '\n';
        }
        return true;
    }
    for (const std::string& name : subKeys) {
        CRegKey child;
        result = RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, child.put());
        if (result != ERROR_SUCCESS)
            return FailCode(result) == 0;
        if (!QueryKey(child.get(), path + "\\" + AnsiToUtf8(name), options, printed))
            return false;
    }
    return true;
}

void CRegTool::PrintValue(const std::string& name, DWORD type, const std::string& data)
{
    m_out << "    " << (name.empty() ? "(Default)" : AnsiToUtf8(name)) << "    " << NameOfType(type)
          << "    " << DataText(type, data) << '\n';
}

bool CRegTool::BuildData(const Options& options, DWORD& type, std::string& data)
{
    const auto parsedType = TypeOfName(options.type.value_or("REG_SZ"));
    if (!parsedType)
        return Fail("unknown type " + *options.type +
                    "; use REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY or REG_NONE") == 0;
    type = *parsedType;
    const std::string text = options.data.value_or("");
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        data = Utf8ToAnsi(text) + '\0';
    } else if (type == REG_DWORD) {
        const auto number = ParseDword(text.empty() ? "0" : text);
        if (!number)
            return Fail("REG_DWORD data must be a 32-bit number: " + text) == 0;
        data.assign(reinterpret_cast<const char*>(&*number), sizeof(DWORD));
    } else if (type == REG_BINARY || type == REG_NONE) {
        if (!ParseHexText(text, data))
            return Fail("binary data must be pairs of hex digits: " + text) == 0;
    } else {
        return Fail(NameOfType(type) + " values cannot be added") == 0;
    }
    return true;
}

int CRegTool::Add(const Options& options)
{
    RootedKey rooted;
    if (!ParseKey(options.positional[0], rooted))
        return 1;
    DWORD type = REG_SZ;
    std::string data;
    if (options.valueName && !BuildData(options, type, data))
        return 1;
    if (!options.valueName && (options.type || options.data))
        return Fail("/t and /d need /v or /ve");
    CRegKey key;
    LONG result =
        RegCreateKeyExA(rooted.root, rooted.subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (result != ERROR_SUCCESS)
        return FailCode(result);
    if (options.valueName) {
        const std::string name = Utf8ToAnsi(*options.valueName);
        DWORD size = 0;
        const bool exists = RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr,
                                             &size) == ERROR_SUCCESS;
        if (exists && !Confirm("Value " + *options.valueName + " exists, overwrite", options.force))
            return Fail("the value was left as it is.");
        result = RegSetValueExA(key.get(), name.c_str(), 0, type,
                                reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(data.size()));
        if (result != ERROR_SUCCESS)
            return FailCode(result);
    }
    m_out << Done << '\n';
    return 0;
}

int CRegTool::Delete(const Options& options)
{
    RootedKey rooted;
    if (!ParseKey(options.positional[0], rooted))
        return 1;
    LONG result = ERROR_SUCCESS;
    if (options.valueName) {
        CRegKey key;
        result = RegOpenKeyExA(rooted.root, rooted.subKey.c_str(), 0, KEY_ALL_ACCESS, key.put());
        if (result == ERROR_SUCCESS &&
            !Confirm("Delete the registry value " + *options.valueName, options.force))
            return Fail("the value was left as it is.");
        if (result == ERROR_SUCCESS)
            result = RegDeleteValueA(key.get(), Utf8ToAnsi(*options.valueName).c_str());
    } else {
        if (rooted.subKey.empty())
            return Fail("a root key cannot be deleted.");
        if (!Confirm("Permanently delete the registry key " + options.positional[0], options.force))
            return Fail("the key was left as it is.");
        result = RegDeleteTreeA(rooted.root, rooted.subKey.c_str());
    }
    if (result != ERROR_SUCCESS)
        return FailCode(result);
    m_out << Done << '\n';
    return 0;
}

LONG CRegTool::Collect(HKEY key, const std::string& path, RegFile& file)
{
    RegFileKey section;
    section.path = path;
    std::vector<ValueEntry> values;
    std::vector<std::string> subKeys;
    LONG result = ReadKey(key, values, subKeys);
    if (result != ERROR_SUCCESS)
        return result;
    for (ValueEntry& value : values)
        section.values.push_back({std::move(value.name), false, value.type, std::move(value.data)});
    file.keys.push_back(std::move(section));
    for (const std::string& name : subKeys) {
        CRegKey child;
        result = RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, child.put());
        if (result == ERROR_SUCCESS)
            result = Collect(child.get(), path + "\\" + name, file);
        if (result != ERROR_SUCCESS)
            return result;
    }
    return ERROR_SUCCESS;
}

int CRegTool::Export(const Options& options)
{
    RootedKey rooted;
    if (!ParseKey(options.positional[0], rooted))
        return 1;
    CRegKey key;
    LONG result = RegOpenKeyExA(rooted.root, rooted.subKey.c_str(), 0, KEY_READ, key.put());
    RegFile file;
    if (result == ERROR_SUCCESS)
        result = Collect(key.get(),
                         Utf8ToAnsi(rooted.rootName) +
                             (rooted.subKey.empty() ? "" : "\\" + rooted.subKey),
                         file);
    if (result != ERROR_SUCCESS)
        return FailCode(result);
    const std::string& target = options.positional[1];
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << file.Format();
    out.close();
    if (!out)
        return Fail("cannot write " + target + ".");
    m_out << Done << '\n';
    return 0;
}

LONG CRegTool::Apply(const RegFileKey& section)
{
    RootedKey rooted;
    if (!ParseRootedKey(section.path, rooted))
        return ERROR_INVALID_PARAMETER;
    if (section.remove) {
        const LONG result = RegDeleteTreeA(rooted.root, rooted.subKey.c_str());
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    }
    CRegKey key;
    LONG result =
        RegCreateKeyExA(rooted.root, rooted.subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    for (size_t i = 0; result == ERROR_SUCCESS && i < section.values.size(); ++i) {
        const RegFileValue& value = section.values[i];
        if (value.remove) {
            result = RegDeleteValueA(key.get(), value.name.c_str());
            result = result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
        } else {
            result = RegSetValueExA(key.get(), value.name.c_str(), 0, value.type,
                                    reinterpret_cast<const BYTE*>(value.data.data()),
                                    static_cast<DWORD>(value.data.size()));
        }
    }
    return result;
}

int CRegTool::Import(const Options& options)
{
    const std::string& source = options.positional[0];
    std::ifstream in(source, std::ios::binary);
    if (!in)
        return Fail("cannot read " + source + ".");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return Fail("cannot read " + source + ".");
    RegFile file;
    std::string error;
    if (!RegFile::Parse(text, file, error))
        return Fail(source + ": " + error + "; nothing was imported.");
    for (const RegFileKey& section : file.keys) {
        if (const LONG result = Apply(section); result != ERROR_SUCCESS)
            return FailCode(result);
    }
    m_out << Done << '\n';
    return 0;
}

} // namespace zrv::reg
