// Internal state of the simulated host, shared by its source files.
#pragma once

#include <cstdarg>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host.h"

namespace hostsim {

constexpr int kMaxEdicts = 256;
constexpr int kFirstUserMessage = 64;
constexpr int kLastUserMessage = 255;
constexpr int kMaxUserMessageSize = 192;

// The engine table as the manager hands it to a plug-in: the slots, then five null
// pointers (plug-ins that copy a few slots too many still read zeros).
struct EngineTableCopy {
    enginefuncs_t table;
    void* trailing[5];
};

struct LoadedPlugin {
    PluginRecord rec;
    EngineTableCopy engine{};
    DLL_FUNCTIONS gameCopy{};
    NEW_DLL_FUNCTIONS newGameCopy{};
    std::string tempDir;
    std::string name;  // display name for the manager's lines
    bool active = false;
};

struct CvarEntry {
    cvar_t cvar{};
    std::string name;
    std::string value;
};

struct ClientState {
    bool connected = false;
    bool spawned = false;  // went through ClientPutInServer
    bool bot = false;
    int userId = 0;
    std::string name;
};

struct UserMessage {
    std::string name;
    int size = 0;
};

struct Watch {
    int index = 0;
    std::string field;
    std::string last;
};

struct Host::Impl {
    HostConfig config;
    Host* owner = nullptr;

    // ---- engine state ----
    globalvars_t globals{};
    std::unique_ptr<char[]> stringPool;
    std::size_t stringPoolUsed = 0;
    std::unique_ptr<edict_t[]> edicts;
    int edictCount = 0;  // entities in use: world, players, then spawned ones
    ClientState clients[kMaxPlayers + 1];
    int nextUserId = 0;
    std::map<std::string, std::unique_ptr<CvarEntry>> cvars;
    std::vector<UserMessage> engineMessages;  // index + 64 = id
    std::map<std::string, int> gameMessageIds;  // the manager's record of the game's registrations
    bool failRegistration = false;
    std::map<std::string, void (*)()> serverCommands;
    std::vector<std::string> commandArgs;
    std::string commandArgsText;
    bool inPutInServer = false;

    struct OpenMessage {
        bool open = false;
        SentMessage msg;
    } message;

    // ---- tables ----
    EngineTableCopy engineFuncs{};  // what the manager hands each plug-in (a copy of it)
    mutil_funcs_t utilFuncs{};
    DLL_FUNCTIONS gameFuncs{};  // the simulated game's own functions
    NEW_DLL_FUNCTIONS gameNewFuncs{};

    // ---- manager ----
    std::vector<std::unique_ptr<LoadedPlugin>> plugins;

    // ---- game ----
    bool gameInitDone = false;
    bool firstMapDone = false;
    bool mapActive = false;

    // ---- records ----
    std::vector<std::string> transcript;
    std::vector<std::string> serverLog;
    std::vector<std::string> console;
    std::vector<SentMessage> sent;
    std::vector<std::string> unexpected;
    std::vector<std::string> unsetResults;
    std::vector<Watch> watches;
    std::function<void(const std::string&)> sink;
    int actionDepth = 0;

    explicit Impl(HostConfig cfg);

    // records
    void record(const std::string& line);
    void logLine(const std::string& text);      // server log, exact text
    void consoleLine(const std::string& text);  // console, exact text
    void managerLog(const std::string& text);   // "[META] " + text to the server log
    void traceCall(const std::string& text);    // only while tracing calls
    void unexpectedCall(const char* what);
    void checkWatches();

    // engine operations; fromPlugin says whose call reached the engine
    string_t allocString(const std::string& text);
    const char* stringAt(string_t offset) const;
    edict_t* edictAt(int index);
    int indexOf(const edict_t* e) const;
    CvarEntry* findCvar(const std::string& name);
    CvarEntry& setCvar(const std::string& name, const std::string& value);
    void registerCvar(const cvar_t& source);
    int engineRegUserMsg(const char* name, int size);
    void engineMessageBegin(int dest, int type, const float* origin, edict_t* target, bool fromPlugin);
    void engineWrite(const MsgField& field, const char* slot);
    void engineMessageEnd();
    void engineServerCommand(const std::string& text);
    void runCommandLine(const std::string& text);
    std::string messageName(int type) const;

    // setup
    void buildEngineTable();
    void buildUtilTable();
    void buildGameTable();

    // game
    void clearEntity(edict_t* e);
};

// The one Host whose engine currently answers plug-in calls.
Host::Impl& CurrentHost();
bool HasCurrentHost();
void SetCurrentHost(Host::Impl* impl);
void ReleasePluginFiles(Host::Impl& host);

// Text of a float that reads back to the same value (shortest such text).
std::string FloatText(float value);
// A text with control characters written as \n, \t, \xNN.
std::string Escaped(const std::string& text);
// printf-style formatting into a std::string.
std::string FormatV(const char* format, va_list args);

// Names of table slots, for the transcript.
const char* EngineSlotName(int index);
const char* GameSlotName(int index);

}  // namespace hostsim
