// A simulated server: plays the engine, the plug-in manager and the game around one or
// more plug-in libraries, so that they can be run, demonstrated and tested end to end.
//
// One Host exists at a time (the engine's function table is plain C function pointers,
// which reach the current Host through a process-wide pointer).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plugin_exports.h"

namespace hostsim {

constexpr int kMaxPlayers = 32;

struct HostConfig {
    std::string gameDir = "valve";   // what pfnGetGameDir writes (a bare name or a full path)
    std::string hostname = "Half-Life";
    int maxClients = 32;
    float deathmatch = 1.0f;
    float developer = 0.0f;
    bool traceCalls = false;  // add a "call: ..." transcript line for every real call
};

// How the plug-in manager loads one plug-in.
struct LoadOptions {
    std::string ifvers = META_INTERFACE_VERSION;  // text given to Meta_Query
    PLUG_LOADTIME loadTime = PT_STARTUP;          // given to Meta_Attach
    int engineVersion = ENGINE_INTERFACE_VERSION; // asked of the engine getters
    int dllVersion = INTERFACE_VERSION;           // asked of the game getters
    bool nullUtilFuncs = false;                   // pass a null utility table to Meta_Query
};

enum class FieldType { Byte, Char, Short, Long, Angle, Coord, String, Entity };

struct MsgField {
    FieldType type = FieldType::Byte;
    int i = 0;        // Byte, Char, Short, Long, Entity
    float f = 0.0f;   // Angle, Coord
    std::string s;    // String

    static MsgField Byte(int v) { return {FieldType::Byte, v, 0.0f, {}}; }
    static MsgField Char(int v) { return {FieldType::Char, v, 0.0f, {}}; }
    static MsgField Short(int v) { return {FieldType::Short, v, 0.0f, {}}; }
    static MsgField Long(int v) { return {FieldType::Long, v, 0.0f, {}}; }
    static MsgField Angle(float v) { return {FieldType::Angle, 0, v, {}}; }
    static MsgField Coord(float v) { return {FieldType::Coord, 0, v, {}}; }
    static MsgField String(std::string v) { return {FieldType::String, 0, 0.0f, std::move(v)}; }
    static MsgField Entity(int v) { return {FieldType::Entity, v, 0.0f, {}}; }
};

// A message that reached the engine (from the game, or straight from a plug-in).
struct SentMessage {
    int dest = 0;
    int type = 0;
    std::string name;        // registered name of the type, or "" when unknown
    int target = -1;         // entity index of the target, -1 for none
    bool fromPlugin = false; // sent by a plug-in's own engine call
    std::vector<MsgField> fields;
    // The engine threw the message away (to a fake client, to no or no connected
    // client, or sent from inside ClientPutInServer); dropReason says which.
    bool dropped = false;
    std::string dropReason;
};

// One loaded plug-in as the manager sees it.
struct PluginRecord {
    std::string path;           // the file that was asked for
    std::string loadedCopy;     // the private copy actually loaded
    void* handle = nullptr;
    plugin_info_t* info = nullptr;
    bool attached = false;
    META_FUNCTIONS metaFunctions{};
    // Hook tables as the getters filled them; the engine buffers are exactly as large as
    // the manager's (ENGINE_FUNCS_SLOTS pointers), the game buffers DLL_FUNCTIONS_SLOTS.
    enginefuncs_t enginePre{};
    enginefuncs_t enginePost{};
    DLL_FUNCTIONS gamePre{};
    DLL_FUNCTIONS gamePost{};
    NEW_DLL_FUNCTIONS newGamePre{};
    NEW_DLL_FUNCTIONS newGamePost{};
    bool hasEnginePre = false, hasEnginePost = false, hasGamePre = false, hasGamePost = false;
    meta_globals_t globals{};
    gamedll_funcs_t gamedllFuncs{};
};

class Host {
public:
    explicit Host(HostConfig config = {});
    ~Host();  // unloads every plug-in (dlclose, no Meta_Detach: as at shutdown)
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // ---- plug-in manager ----
    // Runs the manager's load protocol (copy, dlopen, GiveFnptrsToDll, Meta_Query,
    // Meta_Attach, getters). Returns the plug-in's index, or -1 when it was rejected
    // (the reason is in the server log as the manager would write it).
    int load(const std::string& path, const LoadOptions& options = {});
    // Meta_Detach(now, reason); on 1 the plug-in's hooks are removed (its index stays
    // taken, with attached == false). Returns the answer.
    int unload(int plugin, PLUG_LOADTIME now, PL_UNLOAD_REASON reason);
    PluginRecord& plugin(int index);
    int pluginCount() const;  // indices handed out so far, unloaded ones included
    void* symbol(int plugin, const char* name) const;  // dlsym in the loaded copy
    // The engine table and utility table as handed to plug-ins (for calling entry
    // points directly in tests).
    enginefuncs_t* engineTable();
    mutil_funcs_t* utilFuncs();

    // ---- engine state ----
    const HostConfig& config() const;
    void setGameDir(const std::string& dir);   // what pfnGetGameDir writes from now on
    void setMaxClients(int count);             // 1..32
    void setTraceCalls(bool on);
    globalvars_t& globals();
    edict_t* edict(int index);               // 0 = world, 1..maxClients = players
    // Sets a named entity field (see hlsim --help for the names) from numbers: three
    // for a vector, one otherwise. False for an unknown field or a wrong count.
    bool setField(int index, const std::string& field, const std::vector<double>& values);
    int indexOf(const edict_t* e) const;     // -1 when not one of ours
    void setDeathmatch(float value);
    void setTime(float seconds);
    void setCvar(const std::string& name, const std::string& value);  // creates if missing
    // Runs a server console command line: a command added with pfnAddServerCommand
    // (pfnCmd_Argc/Argv/Args answer from this line), or "cvar [value]".
    void serverCommand(const std::string& line);
    float cvarFloat(const std::string& name) const;
    std::string cvarString(const std::string& name) const;
    bool cvarRegistered(const std::string& name) const;
    void failMessageRegistration(bool fail);  // pfnRegUserMsg answers 0 while set
    int messageId(const std::string& name) const;  // id the engine gave, 0 if none

    // ---- game actions (each engine call of the game passes through the hooks) ----
    void registerGameMessages();   // the game's standard set: "CurWeapon", "AmmoX",
                                   // "WeaponList", "SetFOV", "MOTD", "Health", ...
    int registerMessage(const std::string& name, int size);
    void mapStart(const std::string& mapName);  // first map: registers the game's
                                                // messages at the world's spawn
    void serverDeactivate();
    int connect(const std::string& name, bool bot = false);  // entity index, -1 if full
    void disconnect(int index);
    void frame(float seconds);  // advances time, pfnPlayerPostThink for every player
    void sendMessage(int dest, const std::string& name, int target,
                     const std::vector<MsgField>& fields);   // target 0 = no entity
    void sendMessageId(int dest, int type, int target, const std::vector<MsgField>& fields);
    int spawn(const std::string& classname);  // a new entity through the spawn call
    // Low-level game-side engine calls, through the hooks.
    void messageBegin(int dest, int type, const float* origin, int target);
    void writeField(const MsgField& field);
    void messageEnd();
    // Direct game-DLL calls through the hooks.
    void clientDisconnect(int index);
    void playerPostThink(int index);

    // ---- observation ----
    // Every server-log line, console line, sent message and watched-field change, in order.
    const std::vector<std::string>& transcript() const;
    std::vector<std::string> serverLog() const;   // lines written to the server log
    std::vector<std::string> console() const;     // lines written to the console
    const std::vector<SentMessage>& sentMessages() const;
    void clearRecords();  // forget transcript, logs and sent messages
    // Watch an entity field ("velocity", "fov", "spawnflags"); each change seen after a
    // host action is added to the transcript.
    void watch(int index, const std::string& field);
    // Called for every line added to the transcript (hlsim prints them as they come).
    void onTranscript(std::function<void(const std::string&)> sink);
    // Engine slots a plug-in called that the simulated engine does not implement.
    const std::vector<std::string>& unexpectedCalls() const;
    // Hooks that returned with mres left unset.
    const std::vector<std::string>& unsetResults() const;

    // The host's internals (hostsim's own sources only).
    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Running a scenario script (the format is in hlsim/FORMAT.md and hlsim --help).
struct ScenarioOptions {
    // Folders searched for "load NAME" (NAME.so, NAME_i386.so, NAME.dll); the script's
    // own folder is searched last.
    std::vector<std::string> pluginDirs;
    // Where the transcript goes as it is made, with each command echoed as "> line";
    // null for none.
    std::ostream* out = nullptr;
};

// Runs the script on the host; false on a script error, reported in error as
// "file:line: what was expected".
bool RunScenario(Host& host, const std::string& path, std::string& error);
bool RunScenario(Host& host, const std::string& path, const ScenarioOptions& options,
                 std::string& error);
// The same for a script held in memory; name is used in error texts.
bool RunScenarioText(Host& host, const std::string& text, const std::string& name,
                     const ScenarioOptions& options, std::string& error);
// The format, as hlsim --help prints it.
const char* ScenarioHelp();

}  // namespace hostsim
