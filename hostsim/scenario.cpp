// The scenario runner: one command per line drives the host; the transcript records
// what happened.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>

#include "entity_fields.h"
#include "host.h"

namespace hostsim {
namespace {

namespace fs = std::filesystem;

const char kHelp[] =
    R"(Scenario format: one command per line; a word starting with '#' (but not #N) starts
a comment; words are separated by blanks; "double quotes" keep blanks in a word
(\" \\ \n \t inside them).
A PLAYER is a name given to connect/bot, or #N for entity N.

Options (take effect at once; the load options apply to later loads):
  gamedir TEXT              what pfnGetGameDir writes (a bare name or a full path)
  hostname TEXT             the "hostname" cvar
  maxclients N              1..32
  developer VALUE           the "developer" cvar
  deathmatch VALUE          globals deathmatch
  time SECONDS              globals time
  cvar NAME VALUE           set (or create) a cvar
  trace on|off              add "call: ..." lines for every real call
  ifvers TEXT               interface version given to Meta_Query (default 5:13)
  loadtime WHEN             never|startup|changelevel|anytime|anypause or a number
  engine-version N          version asked of the engine getters (default 138)
  dll-version N             version asked of the game getters (default 140)
  null-utility on|off       give Meta_Query a null utility table
Plug-ins:
  load NAME|PATH [as ALIAS] load through the manager's protocol; NAME is looked up in
                            each --plugin-dir as NAME.so, NAME_i386.so, NAME.dll
  unload ALIAS [WHEN [REASON]]  Meta_Detach (default anytime, command); REASON is
                            null|ini-deleted|file-newer|command|cmd-forced|delayed|
                            plugin|plg-forced|reload or a number
Game:
  map NAME                  start a map (the world spawns; the first map registers the
                            game's messages)
  deactivate                server deactivate
  connect NAME | bot NAME   a human client or a fake client (bot)
  disconnect PLAYER
  register-game-messages    the game's standard set
  register NAME SIZE        the game registers one message
  fail-registration on|off  pfnRegUserMsg answers 0 while on
  send DEST MESSAGE TARGET [FIELD...]
                            DEST: one|one-unreliable|all|broadcast|init|pvs|pas|spec or
                            a number; MESSAGE: a registered name or a number; TARGET:
                            PLAYER or none; FIELD: byte:N char:N short:N long:N
                            angle:F coord:F entity:N string:TEXT
  spawn CLASSNAME           a new entity through the spawn call
  set PLAYER FIELD VALUE... vectors take three numbers, the others one; flags,
                            spawnflags, weapons and button take numbers or
                            FL_CLIENT|FL_FAKECLIENT|FL_ONGROUND|FL_SPECTATOR joined by '|'
                            FIELD: )"
    "%FIELDS%"
    R"(
  watch PLAYER FIELD        report each change of the field
  frame DT | frames N DT    advance time by DT; each frame runs pfnStartFrame, then
                            pfnPlayerPreThink and pfnPlayerPostThink for every player
  think PLAYER              one pfnPlayerPostThink
  command TEXT...           a server console command (pfnAddServerCommand'ed or a cvar)

Transcript lines: "log: " server log, "console: " console, "msg: " / "msg(plugin): "
message reached the engine, "watch: " field change, "unexpected engine call: ",
"warning: " hook left mres unset, "engine: " / "engine error: " / "host: " notes,
"call: " real calls (trace on). A trailing line feed of log and console text is not
shown; other control characters are written as \n, \t, \xNN.
)";

// A '#' at the start of a word begins a comment, unless it is an entity number (#N).
bool IsComment(const std::string& line, std::size_t i) {
    return line[i] == '#' && !(i + 1 < line.size() && line[i + 1] >= '0' && line[i + 1] <= '9');
}

// Splits a line into words; false on an unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& error) {
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size() || IsComment(line, i)) return true;
        std::string word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            if (line[i] == '"') {
                ++i;
                bool closed = false;
                while (i < line.size()) {
                    char c = line[i++];
                    if (c == '"') {
                        closed = true;
                        break;
                    }
                    if (c == '\\' && i < line.size()) {
                        char e = line[i++];
                        c = e == 'n' ? '\n' : e == 't' ? '\t' : e;
                    }
                    word += c;
                }
                if (!closed) {
                    error = "a closing '\"'";
                    return false;
                }
            } else {
                word += line[i++];
            }
        }
        words.push_back(word);
    }
}

bool ParseInt(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ParseFloat(const std::string& text, float& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool ParseOnOff(const std::string& text, bool& out) {
    if (text == "on") return out = true, true;
    if (text == "off") return out = false, true;
    return false;
}

bool ParseLoadTime(const std::string& text, PLUG_LOADTIME& out) {
    static const std::map<std::string, PLUG_LOADTIME> kNames = {
        {"never", PT_NEVER},       {"startup", PT_STARTUP}, {"changelevel", PT_CHANGELEVEL},
        {"anytime", PT_ANYTIME}, {"anypause", PT_ANYPAUSE}};
    auto it = kNames.find(text);
    if (it != kNames.end()) return out = it->second, true;
    long long n;
    if (!ParseInt(text, -1000, 1000, n)) return false;
    out = static_cast<PLUG_LOADTIME>(n);
    return true;
}

bool ParseReason(const std::string& text, PL_UNLOAD_REASON& out) {
    static const std::map<std::string, PL_UNLOAD_REASON> kNames = {
        {"null", PNL_NULL},         {"ini-deleted", PNL_INI_DELETED}, {"file-newer", PNL_FILE_NEWER},
        {"command", PNL_COMMAND},   {"cmd-forced", PNL_CMD_FORCED},   {"delayed", PNL_DELAYED},
        {"plugin", PNL_PLUGIN},     {"plg-forced", PNL_PLG_FORCED},   {"reload", PNL_RELOAD}};
    auto it = kNames.find(text);
    if (it != kNames.end()) return out = it->second, true;
    long long n;
    if (!ParseInt(text, -1000, 1000, n)) return false;
    out = static_cast<PL_UNLOAD_REASON>(n);
    return true;
}

bool ParseDest(const std::string& text, int& out) {
    static const std::map<std::string, int> kNames = {
        {"broadcast", MSG_BROADCAST}, {"one", MSG_ONE}, {"all", MSG_ALL}, {"init", MSG_INIT},
        {"pvs", MSG_PVS}, {"pas", MSG_PAS}, {"pvs-r", MSG_PVS_R}, {"pas-r", MSG_PAS_R},
        {"one-unreliable", MSG_ONE_UNRELIABLE}, {"spec", MSG_SPEC}};
    auto it = kNames.find(text);
    if (it != kNames.end()) return out = it->second, true;
    long long n;
    if (!ParseInt(text, 0, 255, n)) return false;
    out = static_cast<int>(n);
    return true;
}

bool ParseFlags(const std::string& text, long long& out) {
    static const std::map<std::string, int> kNames = {
        {"FL_CLIENT", FL_CLIENT}, {"FL_ONGROUND", FL_ONGROUND}, {"FL_FAKECLIENT", FL_FAKECLIENT},
        {"FL_SPECTATOR", FL_SPECTATOR}};
    long long value = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t bar = text.find('|', start);
        std::string part = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        auto it = kNames.find(part);
        long long n;
        if (it != kNames.end())
            value |= it->second;
        else if (ParseInt(part, -2147483648LL, 4294967295LL, n))
            value |= n;
        else
            return false;
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    out = static_cast<long long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    return true;
}

class Runner {
public:
    Runner(Host& host, const std::string& name, const std::string& scriptDir,
           const ScenarioOptions& options)
        : host_(host), name_(name), scriptDir_(scriptDir), options_(options) {}

    bool Run(std::istream& in, std::string& error) {
        std::string line;
        while (std::getline(in, line)) {
            ++lineNo_;
            std::vector<std::string> words;
            std::string what;
            if (!SplitWords(line, words, what)) return Fail(error, "expected " + what);
            if (words.empty()) continue;
            if (options_.out != nullptr) *options_.out << "> " << Trimmed(line) << "\n";
            if (!Command(words, what)) return Fail(error, what);
            if (options_.out != nullptr) options_.out->flush();
        }
        return true;
    }

private:
    static std::string Trimmed(const std::string& line) {
        const auto b = line.find_first_not_of(" \t");
        const auto e = line.find_last_not_of(" \t\r");
        return b == std::string::npos ? std::string() : line.substr(b, e - b + 1);
    }

    bool Fail(std::string& error, const std::string& what) {
        error = name_ + ":" + std::to_string(lineNo_) + ": " + what;
        return false;
    }

    bool Player(const std::string& ref, int& index, std::string& what) {
        if (!ref.empty() && ref[0] == '#') {
            long long n;
            if (!ParseInt(ref.substr(1), 0, 255, n)) {
                what = "an entity number after '#', not '" + ref + "'";
                return false;
            }
            index = static_cast<int>(n);
            return true;
        }
        auto it = players_.find(ref);
        if (it == players_.end()) {
            what = "a connected player's name or #N, not '" + ref + "'";
            return false;
        }
        index = it->second;
        return true;
    }

    std::string Resolve(const std::string& name) {
        std::vector<std::string> candidates;
        const bool isPath = name.find('/') != std::string::npos ||
                            fs::path(name).extension() == ".so" || fs::path(name).extension() == ".dll";
        std::vector<std::string> dirs = options_.pluginDirs;
        dirs.push_back(scriptDir_);
        if (isPath) {
            candidates.push_back(name);
            if (fs::path(name).is_relative()) candidates.push_back((fs::path(scriptDir_) / name).string());
        } else {
            const bool i386 = sizeof(void*) == 4;
            for (const std::string& d : dirs) {
                if (i386) candidates.push_back((fs::path(d) / (name + "_i386.so")).string());
                candidates.push_back((fs::path(d) / (name + ".so")).string());
                if (!i386) candidates.push_back((fs::path(d) / (name + "_i386.so")).string());
                candidates.push_back((fs::path(d) / (name + ".dll")).string());
            }
        }
        for (const std::string& c : candidates) {
            std::error_code ec;
            if (fs::is_regular_file(c, ec)) return c;
        }
        return {};
    }

    bool Need(const std::vector<std::string>& w, std::size_t lo, std::size_t hi, const char* usage,
              std::string& what) {
        if (w.size() - 1 < lo || w.size() - 1 > hi) {
            what = std::string("expected '") + usage + "'";
            return false;
        }
        return true;
    }

    bool Command(const std::vector<std::string>& w, std::string& what) {
        const std::string& c = w[0];
        long long n;
        float f;
        bool on;
        if (c == "gamedir") {
            if (!Need(w, 1, 1, "gamedir TEXT", what)) return false;
            host_.setGameDir(w[1]);
        } else if (c == "hostname") {
            if (!Need(w, 1, 1, "hostname TEXT", what)) return false;
            host_.setCvar("hostname", w[1]);
        } else if (c == "maxclients") {
            if (!Need(w, 1, 1, "maxclients N", what)) return false;
            if (!ParseInt(w[1], 1, kMaxPlayers, n)) return what = "a number from 1 to 32 after 'maxclients'", false;
            host_.setMaxClients(static_cast<int>(n));
        } else if (c == "developer") {
            if (!Need(w, 1, 1, "developer VALUE", what)) return false;
            if (!ParseFloat(w[1], f)) return what = "a number after 'developer'", false;
            host_.setCvar("developer", w[1]);
        } else if (c == "deathmatch") {
            if (!Need(w, 1, 1, "deathmatch VALUE", what)) return false;
            if (!ParseFloat(w[1], f)) return what = "a number after 'deathmatch'", false;
            host_.setDeathmatch(f);
        } else if (c == "time") {
            if (!Need(w, 1, 1, "time SECONDS", what)) return false;
            if (!ParseFloat(w[1], f)) return what = "a number of seconds after 'time'", false;
            host_.setTime(f);
        } else if (c == "cvar") {
            if (!Need(w, 2, 2, "cvar NAME VALUE", what)) return false;
            host_.setCvar(w[1], w[2]);
        } else if (c == "trace") {
            if (!Need(w, 1, 1, "trace on|off", what) ) return false;
            if (!ParseOnOff(w[1], on)) return what = "'on' or 'off' after 'trace'", false;
            host_.setTraceCalls(on);
        } else if (c == "ifvers") {
            if (!Need(w, 1, 1, "ifvers TEXT", what)) return false;
            load_.ifvers = w[1];
        } else if (c == "loadtime") {
            if (!Need(w, 1, 1, "loadtime WHEN", what)) return false;
            if (!ParseLoadTime(w[1], load_.loadTime)) return what = "a load time (never|startup|changelevel|anytime|anypause or a number)", false;
        } else if (c == "engine-version" || c == "dll-version") {
            if (!Need(w, 1, 1, "engine-version N / dll-version N", what)) return false;
            if (!ParseInt(w[1], -1000000, 1000000, n)) return what = "a version number after '" + c + "'", false;
            (c == "engine-version" ? load_.engineVersion : load_.dllVersion) = static_cast<int>(n);
        } else if (c == "null-utility") {
            if (!Need(w, 1, 1, "null-utility on|off", what)) return false;
            if (!ParseOnOff(w[1], load_.nullUtilFuncs)) return what = "'on' or 'off' after 'null-utility'", false;
        } else if (c == "load") {
            if (w.size() != 2 && !(w.size() == 4 && w[2] == "as")) return what = "expected 'load NAME|PATH [as ALIAS]'", false;
            const std::string file = Resolve(w[1]);
            if (file.empty()) return what = "a plug-in file for '" + w[1] + "' (looked in the plug-in folders and beside the script)", false;
            const std::string alias = w.size() == 4 ? w[3] : fs::path(w[1]).stem().string();
            const int index = host_.load(file, load_);
            if (index >= 0) plugins_[alias] = index;
        } else if (c == "unload") {
            if (!Need(w, 1, 3, "unload ALIAS [WHEN [REASON]]", what)) return false;
            auto it = plugins_.find(w[1]);
            if (it == plugins_.end()) return what = "the alias of a loaded plug-in, not '" + w[1] + "'", false;
            PLUG_LOADTIME when = PT_ANYTIME;
            PL_UNLOAD_REASON reason = PNL_COMMAND;
            if (w.size() > 2 && !ParseLoadTime(w[2], when)) return what = "a load time after the alias", false;
            if (w.size() > 3 && !ParseReason(w[3], reason)) return what = "an unload reason (null|ini-deleted|file-newer|command|cmd-forced|delayed|plugin|plg-forced|reload or a number)", false;
            if (host_.unload(it->second, when, reason) == 1) plugins_.erase(it);
        } else if (c == "map") {
            if (!Need(w, 1, 1, "map NAME", what)) return false;
            host_.mapStart(w[1]);
        } else if (c == "deactivate") {
            if (!Need(w, 0, 0, "deactivate", what)) return false;
            host_.serverDeactivate();
        } else if (c == "connect" || c == "bot") {
            if (!Need(w, 1, 1, "connect NAME / bot NAME", what)) return false;
            if (players_.count(w[1]) != 0) return what = "a name not already connected, not '" + w[1] + "'", false;
            const int index = host_.connect(w[1], c == "bot");
            if (index > 0) players_[w[1]] = index;
        } else if (c == "disconnect") {
            int index;
            if (!Need(w, 1, 1, "disconnect PLAYER", what) || !Player(w[1], index, what)) return false;
            host_.disconnect(index);
            for (auto it = players_.begin(); it != players_.end(); ++it) {
                if (it->second == index) {
                    players_.erase(it);
                    break;
                }
            }
        } else if (c == "register-game-messages") {
            if (!Need(w, 0, 0, "register-game-messages", what)) return false;
            host_.registerGameMessages();
        } else if (c == "register") {
            if (!Need(w, 2, 2, "register NAME SIZE", what)) return false;
            if (!ParseInt(w[2], -1, 100000, n)) return what = "a size (-1 for variable) after the message name", false;
            host_.registerMessage(w[1], static_cast<int>(n));
        } else if (c == "fail-registration") {
            if (!Need(w, 1, 1, "fail-registration on|off", what)) return false;
            if (!ParseOnOff(w[1], on)) return what = "'on' or 'off' after 'fail-registration'", false;
            host_.failMessageRegistration(on);
        } else if (c == "send") {
            return Send(w, what);
        } else if (c == "spawn") {
            if (!Need(w, 1, 1, "spawn CLASSNAME", what)) return false;
            host_.spawn(w[1]);
        } else if (c == "set") {
            return Set(w, what);
        } else if (c == "watch") {
            int index;
            if (!Need(w, 2, 2, "watch PLAYER FIELD", what) || !Player(w[1], index, what)) return false;
            if (FindEntityField(w[2]) == nullptr) return what = "a field (" + EntityFieldNames() + "), not '" + w[2] + "'", false;
            host_.watch(index, w[2]);
        } else if (c == "frame") {
            if (!Need(w, 1, 1, "frame DT", what)) return false;
            if (!ParseFloat(w[1], f) || f < 0.0f) return what = "a frame time in seconds after 'frame'", false;
            host_.frame(f);
        } else if (c == "frames") {
            if (!Need(w, 2, 2, "frames N DT", what)) return false;
            if (!ParseInt(w[1], 0, 1000000, n)) return what = "a number of frames after 'frames'", false;
            if (!ParseFloat(w[2], f) || f < 0.0f) return what = "a frame time in seconds after the number of frames", false;
            for (long long i = 0; i < n; ++i) host_.frame(f);
        } else if (c == "think") {
            int index;
            if (!Need(w, 1, 1, "think PLAYER", what) || !Player(w[1], index, what)) return false;
            host_.playerPostThink(index);
        } else if (c == "command") {
            if (w.size() < 2) return what = "expected 'command TEXT...'", false;
            std::string text;
            for (std::size_t i = 1; i < w.size(); ++i) {
                if (i > 1) text += ' ';
                const bool quote = w[i].find_first_of(" \t") != std::string::npos || w[i].empty();
                text += quote ? "\"" + w[i] + "\"" : w[i];
            }
            host_.serverCommand(text);
        } else {
            what = "a command, not '" + c + "' (see hlsim --help)";
            return false;
        }
        return true;
    }

    bool Send(const std::vector<std::string>& w, std::string& what) {
        if (w.size() < 4) return what = "expected 'send DEST MESSAGE TARGET [FIELD...]'", false;
        int dest;
        if (!ParseDest(w[1], dest)) return what = "a destination (one|one-unreliable|all|broadcast|init|pvs|pas|spec or a number), not '" + w[1] + "'", false;
        long long n;
        int type = host_.messageId(w[2]);
        if (type == 0) {
            if (!ParseInt(w[2], 1, 255, n)) return what = "a registered message name or a number, not '" + w[2] + "'", false;
            type = static_cast<int>(n);
        }
        int target = 0;
        if (w[3] != "none" && !Player(w[3], target, what)) return false;
        std::vector<MsgField> fields;
        for (std::size_t i = 4; i < w.size(); ++i) {
            const std::string& field = w[i];
            const auto colon = field.find(':');
            const std::string kind = field.substr(0, colon);
            const std::string value = colon == std::string::npos ? std::string() : field.substr(colon + 1);
            float f;
            if (colon == std::string::npos) {
                what = "a field TYPE:VALUE, not '" + field + "'";
                return false;
            } else if (kind == "string") {
                fields.push_back(MsgField::String(value));
            } else if (kind == "angle" || kind == "coord") {
                if (!ParseFloat(value, f)) return what = "a number after '" + kind + ":'", false;
                fields.push_back(kind == "angle" ? MsgField::Angle(f) : MsgField::Coord(f));
            } else if (kind == "byte" || kind == "char" || kind == "short" || kind == "long" || kind == "entity") {
                if (!ParseInt(value, -2147483648LL, 2147483647LL, n)) return what = "an integer after '" + kind + ":'", false;
                const int v = static_cast<int>(n);
                fields.push_back(kind == "byte"    ? MsgField::Byte(v)
                                 : kind == "char"  ? MsgField::Char(v)
                                 : kind == "short" ? MsgField::Short(v)
                                 : kind == "long"  ? MsgField::Long(v)
                                                   : MsgField::Entity(v));
            } else {
                what = "a field type (byte|char|short|long|angle|coord|string|entity), not '" + kind + "'";
                return false;
            }
        }
        host_.sendMessageId(dest, type, target, fields);
        return true;
    }

    bool Set(const std::vector<std::string>& w, std::string& what) {
        int index;
        if (w.size() < 4) return what = "expected 'set PLAYER FIELD VALUE...'", false;
        if (!Player(w[1], index, what)) return false;
        const EntityField* field = FindEntityField(w[2]);
        if (field == nullptr) return what = "a field (" + EntityFieldNames() + "), not '" + w[2] + "'", false;
        std::vector<double> values;
        for (std::size_t i = 3; i < w.size(); ++i) {
            long long n;
            float f;
            if (field->kind == EntityFieldKind::Flags) {
                if (!ParseFlags(w[i], n)) return what = "flags as numbers or FL_ names joined by '|', not '" + w[i] + "'", false;
                values.push_back(static_cast<double>(n));
            } else if (field->kind == EntityFieldKind::Int) {
                if (!ParseInt(w[i], -2147483648LL, 2147483647LL, n)) return what = "an integer, not '" + w[i] + "'", false;
                values.push_back(static_cast<double>(n));
            } else {
                if (!ParseFloat(w[i], f)) return what = "a number, not '" + w[i] + "'", false;
                values.push_back(static_cast<double>(f));
            }
        }
        if (host_.edict(index) == nullptr) return what = "an entity number below 256", false;
        if (!host_.setField(index, w[2], values))
            return what = std::string(field->kind == EntityFieldKind::Vector ? "three values" : "one value") + " for " + w[2], false;
        return true;
    }

    Host& host_;
    std::string name_;
    std::string scriptDir_;
    ScenarioOptions options_;
    LoadOptions load_;
    int lineNo_ = 0;
    std::map<std::string, int> players_;
    std::map<std::string, int> plugins_;
};

}  // namespace

const char* ScenarioHelp() {
    static const std::string text = [] {
        std::string t = kHelp;
        const std::string key = "%FIELDS%";
        // The field list, wrapped under the description column.
        std::string names = EntityFieldNames();
        std::string wrapped;
        std::size_t column = 36;
        std::size_t start = 0;
        while (start < names.size()) {
            std::size_t end = names.find(", ", start);
            std::string part = names.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
            if (column + part.size() > 86) {
                wrapped += "\n                           ";
                column = 28;
            }
            wrapped += " " + part;
            column += part.size() + 1;
            start = end == std::string::npos ? names.size() : end + 2;
        }
        t.replace(t.find(key), key.size(), wrapped.substr(1));
        return t;
    }();
    return text.c_str();
}

bool RunScenarioText(Host& host, const std::string& text, const std::string& name,
                     const ScenarioOptions& options, std::string& error) {
    std::istringstream in(text);
    std::string dir = fs::path(name).parent_path().string();
    if (dir.empty()) dir = ".";
    if (options.out != nullptr) {
        std::ostream* out = options.out;
        host.onTranscript([out](const std::string& line) { *out << line << "\n"; });
    }
    Runner runner(host, name, dir, options);
    const bool ok = runner.Run(in, error);
    if (options.out != nullptr) host.onTranscript(nullptr);
    return ok;
}

bool RunScenario(Host& host, const std::string& path, const ScenarioOptions& options,
                 std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read the file";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return RunScenarioText(host, text.str(), path, options, error);
}

bool RunScenario(Host& host, const std::string& path, std::string& error) {
    return RunScenario(host, path, ScenarioOptions{}, error);
}

}  // namespace hostsim
