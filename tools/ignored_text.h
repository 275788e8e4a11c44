// What the plug-in silently passes over in an INI file: keys it never reads, values that
// give no multiplier or another one than written, headings that miss by letter case,
// heading lines that name nothing, and text after an end-of-file mark.
#pragma once

#include <string>
#include <vector>

#include "loaded_config.h"

namespace kestrum_check {

struct Warning {
    int line = 0;  // 1-based line of the file; 0 when it concerns the file as a whole
    std::string text;
};

// Sorted by line; warnings about the whole file come first. text is the file's content,
// the same bytes the reader indexed.
std::vector<Warning> FindIgnored(const LoadedConfig& config, const std::string& gameDirName,
                                 const std::string& text);

}  // namespace kestrum_check
