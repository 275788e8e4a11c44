#include "config.h"

#include <cstdio>
#include <cstring>

#include "config_tables.h"
#include "frame.h"
#include "ini.h"

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

    const ConfigTargets targets{&AmmoIdIsFlag, &AllWeaponsClipless, g_primaryMultipliers,
                                g_secondaryMultipliers};
    ReadConfigurationTables(ini, BaseHeading(gameDirName), targets);
    CloseIni(ini);
}
