// zrvreg: query and change the registry from the command line.

#include "runtime/registry/CRegTool.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    // Texts cross the registry in the code page of the user's locale.
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    return zrv::reg::CRegTool(std::cout, std::cerr).Run(args);
}
