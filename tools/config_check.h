// kestrum_mm_check: loads an INI file the way the recoil plug-in does, prints what the
// plug-in will use and warns about what it will silently pass over.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrum_check {

// Exit statuses of the checker.
constexpr int kLoaded = 0;        // the file loads (warnings may have been printed)
constexpr int kNotLoaded = 1;     // the plug-in could not load the file either
constexpr int kUsageError = 2;    // bad arguments

// args without the program name. The report goes to out, errors to err.
int RunConfigCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const char* ConfigCheckHelp();

}  // namespace kestrum_check
