#include "config.h"

#include <cstdio>
#include <cstring>

#include "frame.h"
#include "ini.h"
#include "text_compare.h"

cvar_t* g_multiplierCvar = nullptr;
cvar_t* g_debugCvar = nullptr;
int AmmoIdIsFlag = 0;
int AllWeaponsClipless = 0;
float g_primaryMultipliers[kMultiplierSlots] = {};
float g_secondaryMultipliers[kMultiplierSlots] = {};

namespace {

// pfnGetGameDir writes into a buffer of this size.
constexpr int kGameDirBuffer = 512;
// Longest name that keeps "<name><sep>kestrum_mm.ini" within 256 characters.
constexpr int kMaxGameDirName = 240;

#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

constexpr char kIniFileName[] = "kestrum_mm.ini";
constexpr char kStandardHeading[] = "standard(valve,gearbox,etc)";
constexpr const char* kStandardGameDirs[] = {"valve", "marrowfen", "tallowmere", "gearbox"};

// The last component of the game directory; empty when the engine gave none.
char gameDirName[kGameDirBuffer] = "";

constexpr cvar_t MakeCvar(const char* name, const char* initial, int flags) {
    cvar_t cvar{};
    cvar.name = name;
    cvar.string = initial;
    cvar.flags = flags;
    cvar.value = 0.0f;
    cvar.next = nullptr;
    return cvar;
}

cvar_t multiplierCvar = MakeCvar("kestrum_multiplier", "1", FCVAR_EXTDLL);
cvar_t debugCvar = MakeCvar("kestrum_debug", "0", FCVAR_EXTDLL);
cvar_t versionCvar = MakeCvar("kestrum_version", "1.6", FCVAR_SERVER | FCVAR_EXTDLL);

bool IsPathSeparator(char c) {
#if defined(_WIN32)
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

bool IsStandardGameDir(const char* name) {
    for (const char* standard : kStandardGameDirs) {
        if (EqualIgnoringCase(name, standard)) {
            return true;
        }
    }
    return false;
}

// A switch is on when the key is there and holds a non-zero integer.
int ReadSwitch(IniFile* ini, const char* key) {
    int value = 0;
    if (SelectKey(ini, key) == 0 && ReadInt(ini, &value) == 0 && value != 0) {
        return 1;
    }
    return 0;
}

// Keys "0".."63" of the heading fill the table; only values above 0 count.
void ReadMultipliers(IniFile* ini, const char* heading, float* table) {
    if (SelectHeading(ini, heading) != 0) {
        return;
    }
    for (int id = 0; id < kMultiplierSlots; ++id) {
        char key[16];
        std::snprintf(key, sizeof key, "%d", id);
        int value = 0;
        if (SelectKey(ini, key) == 0 && ReadInt(ini, &value) == 0 && value > 0) {
            table[id] = static_cast<float>(value);
        }
    }
}

}  // namespace

void RegisterConsoleVariables() {
    g_engfuncs.pfnCVarRegister(&multiplierCvar);
    g_engfuncs.pfnCVarRegister(&debugCvar);
    g_engfuncs.pfnCVarRegister(&versionCvar);
    g_multiplierCvar = g_engfuncs.pfnCVarGetPointer(multiplierCvar.name);
    g_debugCvar = g_engfuncs.pfnCVarGetPointer(debugCvar.name);
}

void ExtractGameDirName() {
    char gameDir[kGameDirBuffer] = "";
    g_engfuncs.pfnGetGameDir(gameDir);
    gameDir[kGameDirBuffer - 1] = '\0';

    // Linux engines report a bare name; a full path keeps only its last component.
    const char* name = gameDir;
    for (size_t i = std::strlen(gameDir); i > 1; --i) {
        if (IsPathSeparator(gameDir[i - 1])) {
            name = gameDir + i;
            break;
        }
    }
    std::snprintf(gameDirName, sizeof gameDirName, "%s", name);
}

void LoadConfiguration() {
    for (int id = 0; id < kMultiplierSlots; ++id) {
        g_primaryMultipliers[id] = 0.0f;
        g_secondaryMultipliers[id] = 0.0f;
    }

    char path[kGameDirBuffer + sizeof kIniFileName + 1];
    std::snprintf(path, sizeof path, "%s%c%s", gameDirName, kPathSeparator, kIniFileName);
    g_engfuncs.pfnAlertMessage(at_console, "[%s] Loading gunkestrum config from '%s' ... ",
                               Plugin_info.logtag, path);

    // Without a usable name there is no INI path to open (nor a heading to look for).
    const size_t nameLength = std::strlen(gameDirName);
    IniFile* ini = nullptr;
    if (nameLength > 0 && nameLength <= kMaxGameDirName) {
        ini = OpenIni(path);
    }
    if (ini == nullptr) {
        g_engfuncs.pfnAlertMessage(at_console, "Failed!\n");
        return;
    }
    g_engfuncs.pfnAlertMessage(at_console, "Successed!\n");

    const char* base = IsStandardGameDir(gameDirName) ? kStandardHeading : gameDirName;
    if (SelectHeading(ini, base) == 0) {
        AmmoIdIsFlag = ReadSwitch(ini, "AmmoIdIsFlag");
        AllWeaponsClipless = ReadSwitch(ini, "AllWeaponsClipless");
    } else {
        AmmoIdIsFlag = 0;
        AllWeaponsClipless = 0;
    }

    char heading[sizeof gameDirName + sizeof "-AMMO1"];
    std::snprintf(heading, sizeof heading, "%s-AMMO1", base);
    ReadMultipliers(ini, heading, g_primaryMultipliers);
    std::snprintf(heading, sizeof heading, "%s-AMMO2", base);
    ReadMultipliers(ini, heading, g_secondaryMultipliers);

    CloseIni(ini);
}

float DebugLevel() {
    return g_debugCvar != nullptr ? g_debugCvar->value : 0.0f;
}
