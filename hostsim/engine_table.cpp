// The engine function table handed to plug-ins. Calls through it come straight from a
// plug-in and reach the engine without passing any plug-in's hooks.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "angle_vectors.h"
#include "host_impl.h"
#include "layout_pins.h"
#include "slot_lists.h"

namespace hostsim {
namespace {

// A slot the simulated engine does not implement: recorded, and answered with zero.
template <int Index, typename F>
struct Unexpected;

template <int Index, typename R, typename... A>
struct Unexpected<Index, R (*)(A...)> {
    static R Call(A...) {
        if (HasCurrentHost()) CurrentHost().unexpectedCall(EngineSlotName(Index));
        return R();
    }
};

template <int Index, typename R, typename... A>
struct Unexpected<Index, R (*)(A..., ...)> {
    static R Call(A..., ...) {
        if (HasCurrentHost()) CurrentHost().unexpectedCall(EngineSlotName(Index));
        return R();
    }
};

Host::Impl& H() { return CurrentHost(); }

// ---- messages ----
void MessageBegin(int dest, int type, const float* origin, edict_t* target) {
    H().engineMessageBegin(dest, type, origin, target, true);
}
void MessageEnd() { H().engineMessageEnd(); }
void WriteByte(int v) { H().engineWrite(MsgField::Byte(v), "pfnWriteByte"); }
void WriteChar(int v) { H().engineWrite(MsgField::Char(v), "pfnWriteChar"); }
void WriteShort(int v) { H().engineWrite(MsgField::Short(v), "pfnWriteShort"); }
void WriteLong(int v) { H().engineWrite(MsgField::Long(v), "pfnWriteLong"); }
void WriteAngle(float v) { H().engineWrite(MsgField::Angle(v), "pfnWriteAngle"); }
void WriteCoord(float v) { H().engineWrite(MsgField::Coord(v), "pfnWriteCoord"); }
void WriteString(const char* s) {
    H().engineWrite(MsgField::String(s != nullptr ? s : ""), "pfnWriteString");
}
void WriteEntity(int v) { H().engineWrite(MsgField::Entity(v), "pfnWriteEntity"); }

// The manager's wrapper: a plug-in's registration reaches the engine, but the manager
// does not list it among the game's messages.
int RegUserMsg(const char* name, int size) { return H().engineRegUserMsg(name, size); }

// ---- console variables ----
// The manager's wrapper: the engine gets a copy of the plug-in's record.
void CVarRegister(cvar_t* cvar) {
    if (cvar != nullptr) H().registerCvar(*cvar);
}
float CVarGetFloat(const char* name) {
    CvarEntry* c = H().findCvar(name != nullptr ? name : "");
    return c != nullptr ? c->cvar.value : 0.0f;
}
const char* CVarGetString(const char* name) {
    CvarEntry* c = H().findCvar(name != nullptr ? name : "");
    return c != nullptr ? c->cvar.string : "";
}
cvar_t* CVarGetPointer(const char* name) {
    CvarEntry* c = H().findCvar(name != nullptr ? name : "");
    return c != nullptr ? &c->cvar : nullptr;
}
void CVarSetString(const char* name, const char* value) {
    if (name == nullptr || H().findCvar(name) == nullptr) return;
    H().setCvar(name, value != nullptr ? value : "");
}
void CVarSetFloat(const char* name, float value) {
    char text[64];
    if (value > -1e15f && value < 1e15f &&
        static_cast<float>(static_cast<long long>(value)) == value)
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    else
        std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    CVarSetString(name, text);
}

// ---- output ----
void AlertMessage(ALERT_TYPE type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    switch (type) {
        case at_logged: H().logLine(text); break;
        case at_console: H().consoleLine(text); break;
        case at_notice: H().consoleLine("NOTE:  " + text); break;
        case at_aiconsole: H().consoleLine(text); break;
        case at_warning: H().consoleLine("WARNING:  " + text); break;
        case at_error: H().consoleLine("ERROR:  " + text); break;
        default: H().consoleLine(text); break;
    }
}
void ServerPrint(const char* text) { H().consoleLine(text != nullptr ? text : ""); }

// ---- entities and strings ----
void MakeVectors(const float* angles) {
    globalvars_t& g = H().globals;
    AngleVectors(angles, &g.v_forward, &g.v_right, &g.v_up);
}
void AngleVectorsSlot(const float* angles, float* forward, float* right, float* up) {
    vec3_t f{}, r{}, u{};
    AngleVectors(angles, &f, &r, &u);
    if (forward != nullptr) std::memcpy(forward, &f, sizeof f);
    if (right != nullptr) std::memcpy(right, &r, sizeof r);
    if (up != nullptr) std::memcpy(up, &u, sizeof u);
}
int IndexOfEdict(const edict_t* e) {
    if (e == nullptr) return 0;
    int index = H().indexOf(e);
    if (index < 0) {
        H().record("engine error: pfnIndexOfEdict given a pointer that is no entity");
        return 0;
    }
    return index;
}
edict_t* PEntityOfEntIndex(int index) {
    Host::Impl& h = H();
    if (index < 0 || index >= h.edictCount) return nullptr;
    edict_t* e = h.edictAt(index);
    if (index > h.globals.maxClients && e->free) return nullptr;
    return e;
}
int GetPlayerUserId(edict_t* e) {
    Host::Impl& h = H();
    const int index = h.indexOf(e);
    if (index < 1 || index > h.globals.maxClients || !h.clients[index].connected) return -1;
    return h.clients[index].userId;
}
const char* SzFromIndex(int offset) { return H().stringAt(offset); }
int AllocString(const char* text) { return H().allocString(text != nullptr ? text : ""); }
void GetGameDir(char* out) {
    if (out == nullptr) return;
    const std::string& dir = H().config.gameDir;
    std::memcpy(out, dir.c_str(), dir.size() + 1);
}
float Time() { return H().globals.time; }
int IsDedicatedServer() { return 1; }

// ---- commands ----
void ServerCommand(const char* text) { H().engineServerCommand(text != nullptr ? text : ""); }
void AddServerCommand(const char* name, void (*function)()) {
    if (name == nullptr || function == nullptr) return;
    Host::Impl& h = H();
    if (h.serverCommands.count(name) != 0) {
        h.consoleLine(std::string("Sorry, the command \"") + name + "\" is already defined\n");
        return;
    }
    h.serverCommands[name] = function;
    h.record(std::string("engine: server command \"") + name + "\" added");
}
int CmdArgc() { return static_cast<int>(H().commandArgs.size()); }
const char* CmdArgv(int i) {
    Host::Impl& h = H();
    if (i < 0 || i >= static_cast<int>(h.commandArgs.size())) return "";
    return h.commandArgs[static_cast<std::size_t>(i)].c_str();
}
const char* CmdArgs() { return H().commandArgsText.c_str(); }

}  // namespace

void Host::Impl::buildEngineTable() {
    enginefuncs_t& t = engineFuncs.table;
#define HOSTSIM_STUB(name, index)                                                     \
    static_assert(offsetof(enginefuncs_t, name) == (index) * sizeof(void*), #name); \
    t.name = &Unexpected<index, decltype(enginefuncs_t::name)>::Call;
    HOSTSIM_ENGINE_SLOTS(HOSTSIM_STUB)
#undef HOSTSIM_STUB
    t.pfnMakeVectors = &MakeVectors;
    t.pfnAngleVectors = &AngleVectorsSlot;
    t.pfnServerCommand = &ServerCommand;
    t.pfnMessageBegin = &MessageBegin;
    t.pfnMessageEnd = &MessageEnd;
    t.pfnWriteByte = &WriteByte;
    t.pfnWriteChar = &WriteChar;
    t.pfnWriteShort = &WriteShort;
    t.pfnWriteLong = &WriteLong;
    t.pfnWriteAngle = &WriteAngle;
    t.pfnWriteCoord = &WriteCoord;
    t.pfnWriteString = &WriteString;
    t.pfnWriteEntity = &WriteEntity;
    t.pfnCVarRegister = &CVarRegister;
    t.pfnCVarGetFloat = &CVarGetFloat;
    t.pfnCVarGetString = &CVarGetString;
    t.pfnCVarSetFloat = &CVarSetFloat;
    t.pfnCVarSetString = &CVarSetString;
    t.pfnAlertMessage = &AlertMessage;
    t.pfnSzFromIndex = &SzFromIndex;
    t.pfnAllocString = &AllocString;
    t.pfnIndexOfEdict = &IndexOfEdict;
    t.pfnPEntityOfEntIndex = &PEntityOfEntIndex;
    t.pfnRegUserMsg = &RegUserMsg;
    t.pfnServerPrint = &ServerPrint;
    t.pfnCmd_Args = &CmdArgs;
    t.pfnCmd_Argv = &CmdArgv;
    t.pfnCmd_Argc = &CmdArgc;
    t.pfnTime = &Time;
    t.pfnGetGameDir = &GetGameDir;
    t.pfnCvar_RegisterVariable = &CVarRegister;
    t.pfnGetPlayerUserId = &GetPlayerUserId;
    t.pfnIsDedicatedServer = &IsDedicatedServer;
    t.pfnCVarGetPointer = &CVarGetPointer;
    t.pfnAddServerCommand = &AddServerCommand;
}

const char* EngineSlotName(int index) {
    static const char* const kNames[] = {
#define HOSTSIM_NAME(name, index) #name,
        HOSTSIM_ENGINE_SLOTS(HOSTSIM_NAME)
#undef HOSTSIM_NAME
    };
    static_assert(sizeof kNames / sizeof kNames[0] == ENGINE_FUNCS_SLOTS, "one name per slot");
    if (index < 0 || index >= ENGINE_FUNCS_SLOTS) return "?";
    return kNames[index];
}

const char* GameSlotName(int index) {
    static const char* const kNames[] = {
#define HOSTSIM_NAME(name, index) #name,
        HOSTSIM_GAME_SLOTS(HOSTSIM_NAME)
#undef HOSTSIM_NAME
    };
    static_assert(sizeof kNames / sizeof kNames[0] == DLL_FUNCTIONS_SLOTS, "one name per slot");
    if (index < 0 || index >= DLL_FUNCTIONS_SLOTS) return "?";
    return kNames[index];
}

}  // namespace hostsim
