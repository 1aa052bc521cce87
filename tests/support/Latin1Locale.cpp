#include "tests/support/Latin1Locale.h"

#include "tests/support/TempHome.h"

#include <clocale>
#include <cstdlib>
#include <string>

namespace zrv::test {

Latin1Locale::Latin1Locale()
{
    const std::string folder = MakeTempDir("locale");
    const std::string command =
        "localedef -i en_US -f ISO-8859-1 '" + folder + "/en_US.ISO-8859-1' >/dev/null 2>&1";
    if (std::system(command.c_str()) > 1) // 1: warnings only
        return;
    setenv("LOCPATH", folder.c_str(), 1);
    m_active = std::setlocale(LC_CTYPE, "en_US.ISO-8859-1") != nullptr;
}

Latin1Locale::~Latin1Locale()
{
    std::setlocale(LC_CTYPE, "C");
    unsetenv("LOCPATH");
}

} // namespace zrv::test
