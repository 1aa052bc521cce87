#pragma once

#include "runtime/registry/RegFile.h"
#include "runtime/registry/RootedKey.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace zrv::reg {

// The zrvreg command line: query, add, delete, export and import, in the
// manner of the home platform's reg tool. Run() returns the exit code: 0 on
// success, 1 after writing a one-line message to err.
class CRegTool final {
public:
    CRegTool(std::ostream& out, std::ostream& err);
    int Run(const std::vector<std::string>& args);

private:
    struct Options {
        std::optional<std::string> valueName; // /v NAME, or "" for /ve
        std::optional<std::string> type;
        std::optional<std::string> data;
        bool force = false;
        bool recurse = false;
        std::vector<std::string> positional;
    };

    bool ParseOptions(const std::vector<std::string>& args, Options& options);
    bool ParseKey(const std::string& text, RootedKey& key);
    int Fail(const std::string& message);
    int FailCode(LONG code);
    bool Confirm(const std::string& question, bool force);

    int Query(const Options& options);
    bool QueryKey(HKEY key, const std::string& path, const Options& options, bool& printed);
    void PrintValue(const std::string& name, DWORD type, const std::string& data);
    int Add(const Options& options);
    bool BuildData(const Options& options, DWORD& type, std::string& data);
    int Delete(const Options& options);
    int Export(const Options& options);
    LONG Collect(HKEY key, const std::string& path, RegFile& file);
    int Import(const Options& options);
    LONG Apply(const RegFileKey& section);

    std::ostream& m_out;
    std::ostream& m_err;
};

} // namespace zrv::reg
