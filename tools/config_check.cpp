#include "config_check.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <optional>
#include <sstream>

#include "ignored_text.h"
#include "loaded_config.h"

namespace kestrum_check {

namespace {

// The plug-in loads no file for a longer game directory name: the INI path would not fit.
constexpr std::size_t kMaxGameDirName = 240;

constexpr char kHelp[] =
    "Usage: kestrum_mm_check PATH [--gamedir NAME]\n"
    "\n"
    "Reads the recoil plug-in's INI file (kestrum_mm.ini) with the plug-in's own reader\n"
    "and configuration code, and prints what the plug-in will use:\n"
    "  - the base heading that applies to the game directory,\n"
    "  - the switches AmmoIdIsFlag and AllWeaponsClipless,\n"
    "  - the primary and secondary multiplier of every weapon that has one.\n"
    "Then it warns about what the plug-in passes over without a word: keys that are no\n"
    "weapon id (\"07\", \"64\" and above), multipliers that are 0, negative, fractional or\n"
    "not a number, headings that differ from the expected ones only in letter case, a\n"
    "missing base heading, heading lines that make no heading, and text after an\n"
    "end-of-file mark (byte 26).\n"
    "\n"
    "Options:\n"
    "  --gamedir NAME  the game directory the server runs (default: valve). valve,\n"
    "                  gearbox, marrowfen and tallowmere, in any case, read the heading\n"
    "                  [standard(valve,gearbox,etc)]; any other name reads a heading of\n"
    "                  its own name. A path is cut to its last component.\n"
    "  -h, --help      this text\n"
    "\n"
    "The INI file is only read. Like the plug-in, the reader writes a working copy\n"
    "beside it while it reads (the path with its last character replaced by '~', such\n"
    "as kestrum_mm.in~) and deletes it again; a file already standing under that name\n"
    "is replaced and removed. So the file's directory must be writable.\n"
    "\n"
    "Exit status: 0 when the file loads (with or without warnings), 1 when it cannot be\n"
    "loaded (the plug-in would print \"Failed!\"), 2 for bad arguments.\n";

struct Arguments {
    std::string path;
    std::string gameDirName = "valve";
    bool help = false;
};

std::optional<Arguments> ParseArguments(const std::vector<std::string>& args, std::ostream& err) {
    Arguments parsed;
    bool havePath = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            parsed.help = true;
            return parsed;
        }
        if (arg == "--gamedir") {
            if (i + 1 == args.size()) {
                err << "kestrum_mm_check: --gamedir needs a NAME\n";
                return std::nullopt;
            }
            parsed.gameDirName = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "kestrum_mm_check: unknown option " << arg << "\n";
            return std::nullopt;
        } else if (havePath) {
            err << "kestrum_mm_check: only one PATH can be checked at a time\n";
            return std::nullopt;
        } else {
            parsed.path = arg;
            havePath = true;
        }
    }
    if (!havePath) {
        err << "kestrum_mm_check: no PATH given\n";
        return std::nullopt;
    }
    // As the plug-in takes the game directory: the text after the last '/'.
    const std::size_t slash = parsed.gameDirName.rfind('/');
    if (slash != std::string::npos) {
        parsed.gameDirName.erase(0, slash + 1);
    }
    if (parsed.gameDirName.empty() || parsed.gameDirName.size() > kMaxGameDirName) {
        err << "kestrum_mm_check: the game directory name must have 1 to " << kMaxGameDirName
            << " characters; the plug-in loads no INI file for this one\n";
        return std::nullopt;
    }
    return parsed;
}

// Why a file the reader could not load cannot be loaded, as clearly as can be told.
std::string LoadFailure(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        return "cannot read '" + path + "': no such file";
    }
    if (fs::is_directory(status)) {
        return "cannot read '" + path + "': it is a directory";
    }
    if (!path.empty() && path.back() == '~') {
        return "cannot read '" + path + "': a path ending in '~' is the name of a working copy";
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "cannot read '" + path + "': " + std::strerror(errno);
    }
    std::string copy = path;
    copy.back() = '~';
    return "cannot load '" + path + "': the working copy '" + copy +
           "' could not be made beside it (is the directory writable?), or the file is "
           "larger than 4 GiB";
}

std::string Switch(int on) {
    return on != 0 ? "on" : "off";
}

std::string Multiplier(float value) {
    if (value <= 0.0f) return "-";
    std::ostringstream text;
    text << std::fixed << std::setprecision(0) << value;
    return text.str();
}

int CountConfigured(const std::array<float, kMultiplierSlots>& table) {
    int count = 0;
    for (float value : table) count += value > 0.0f ? 1 : 0;
    return count;
}

void PrintTableHeading(std::ostream& out, const char* kind, const std::string& heading,
                       bool found, const std::array<float, kMultiplierSlots>& table) {
    out << "  " << std::left << std::setw(10) << kind << "[" << heading << "]  ";
    if (!found) {
        out << "missing: no weapon kicks by its " << kind << " ammunition\n";
        return;
    }
    const int count = CountConfigured(table);
    out << "found, " << count << (count == 1 ? " weapon" : " weapons") << "\n";
}

void PrintReport(std::ostream& out, const std::string& path, const std::string& gameDirName,
                 const LoadedConfig& config, const std::vector<Warning>& warnings) {
    out << "File:           " << path << "\n";
    out << "Game directory: " << gameDirName << "\n";
    out << "Base heading:   [" << config.baseHeading << "] "
        << (config.baseFound ? "found" : "missing") << "\n";
    out << "\nSwitches\n";
    out << "  AmmoIdIsFlag        " << Switch(config.ammoIdIsFlag) << "\n";
    out << "  AllWeaponsClipless  " << Switch(config.allWeaponsClipless) << "\n";

    out << "\nMultiplier tables\n";
    PrintTableHeading(out, "primary", config.primaryHeading, config.primaryFound, config.primary);
    PrintTableHeading(out, "secondary", config.secondaryHeading, config.secondaryFound,
                      config.secondary);
    out << "\n  weapon  primary  secondary\n";
    bool any = false;
    for (int id = 0; id < kMultiplierSlots; ++id) {
        const auto slot = static_cast<std::size_t>(id);
        if (config.primary[slot] <= 0.0f && config.secondary[slot] <= 0.0f) continue;
        any = true;
        out << std::right << "  " << std::setw(6) << id << "  " << std::setw(7)
            << Multiplier(config.primary[slot]) << "  " << std::setw(9)
            << Multiplier(config.secondary[slot]) << "\n";
    }
    if (!any) {
        out << "  (none: no weapon kicks)\n";
    }
    out << "  A push is rounds spent x multiplier x kestrum_multiplier.\n";

    out << "\nWarnings: " << warnings.size() << "\n";
    for (const Warning& warning : warnings) {
        out << "  ";
        if (warning.line > 0) out << "line " << warning.line << ": ";
        out << warning.text << "\n";
    }
}

}  // namespace

const char* ConfigCheckHelp() {
    return kHelp;
}

int RunConfigCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<Arguments> parsed = ParseArguments(args, err);
    if (!parsed) {
        err << "Try 'kestrum_mm_check --help'.\n";
        return kUsageError;
    }
    if (parsed->help) {
        out << kHelp;
        return kLoaded;
    }

    const std::optional<LoadedConfig> config = LoadConfig(parsed->path, parsed->gameDirName);
    if (!config) {
        err << "kestrum_mm_check: " << LoadFailure(parsed->path) << "\n";
        return kNotLoaded;
    }
    // The reader has just read the same bytes; the warnings are about this text.
    std::ifstream in(parsed->path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<Warning> warnings = FindIgnored(*config, parsed->gameDirName, text);
    PrintReport(out, parsed->path, parsed->gameDirName, *config, warnings);
    return kLoaded;
}

}  // namespace kestrum_check
