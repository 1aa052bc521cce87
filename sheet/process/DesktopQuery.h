#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zrv::sheet {

// Runs program (looked up in PATH) with arguments and gives its standard
// output when it exits with 0 within the wait; nullopt when it cannot start,
// fails or takes longer (it is then killed).
std::optional<std::string> CommandOutput(const std::string& program,
                                         const std::vector<std::string>& arguments,
                                         std::chrono::milliseconds wait);

} // namespace zrv::sheet
