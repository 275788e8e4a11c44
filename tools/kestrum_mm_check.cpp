// kestrum_mm_check PATH [--gamedir NAME]: checks a kestrum_mm.ini before a server uses it.
#include <iostream>
#include <string>
#include <vector>

#include "config_check.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kestrum_check::RunConfigCheck(args, std::cout, std::cerr);
}
