// The plug-in manager: the load protocol (private copy, entry points, version check,
// getters), unloading, and the utility table handed to plug-ins.
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "hook_dispatch.h"
#include "host_impl.h"

namespace hostsim {
namespace {

namespace fs = std::filesystem;

Host::Impl& H() { return CurrentHost(); }

std::string Tag(plid_t plid) {
    if (plid == nullptr || plid->logtag == nullptr) return "(unknown plugin)";
    return plid->logtag;
}

LoadedPlugin* FindByInfo(plid_t plid) {
    for (auto& p : H().plugins)
        if (p->active && p->rec.info == plid) return p.get();
    return nullptr;
}

// ---- utility table ----
void LogConsole(plid_t, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    H().consoleLine(text);
}
void LogMessage(plid_t plid, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    H().logLine("[" + Tag(plid) + "] " + text);
}
void LogError(plid_t plid, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    H().logLine("[" + Tag(plid) + "] ERROR: " + text);
}
void LogDeveloper(plid_t plid, const char* format, ...) {
    if (H().findCvar("developer")->cvar.value == 0.0f) return;
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    H().logLine("[" + Tag(plid) + "] dev: " + text);
}
int GetUserMsgID(plid_t, const char* name, int* size) {
    if (name == nullptr) return 0;
    Host::Impl& h = H();
    auto it = h.gameMessageIds.find(name);
    if (it == h.gameMessageIds.end()) return 0;
    if (size != nullptr)
        *size = h.engineMessages[static_cast<std::size_t>(it->second - kFirstUserMessage)].size;
    return it->second;
}
const char* GetUserMsgName(plid_t, int id, int* size) {
    Host::Impl& h = H();
    for (const auto& [name, known] : h.gameMessageIds) {
        if (known != id) continue;
        const UserMessage& m = h.engineMessages[static_cast<std::size_t>(id - kFirstUserMessage)];
        if (size != nullptr) *size = m.size;
        return m.name.c_str();
    }
    return nullptr;
}
const char* GetPluginPath(plid_t plid) {
    LoadedPlugin* p = FindByInfo(plid);
    return p != nullptr ? p->rec.path.c_str() : nullptr;
}

void Unexpected(const char* slot) { H().unexpectedCall(slot); }
void CenterSay(plid_t, const char*, ...) { Unexpected("mutil pfnCenterSay"); }
void CenterSayParms(plid_t, hudtextparms_t, const char*, ...) { Unexpected("mutil pfnCenterSayParms"); }
void CenterSayVarargs(plid_t, hudtextparms_t, const char*, va_list) {
    Unexpected("mutil pfnCenterSayVarargs");
}
int CallGameEntity(plid_t, const char*, entvars_t*) {
    Unexpected("mutil pfnCallGameEntity");
    return 0;
}
const char* GetGameInfo(plid_t, ginfo_t) {
    Unexpected("mutil pfnGetGameInfo");
    return nullptr;
}
int LoadPlugin(plid_t, const char*, PLUG_LOADTIME, void**) {
    Unexpected("mutil pfnLoadPlugin");
    return 1;
}
int UnloadPlugin(plid_t, const char*, PLUG_LOADTIME, PL_UNLOAD_REASON) {
    Unexpected("mutil pfnUnloadPlugin");
    return 1;
}
int UnloadPluginByHandle(plid_t, void*, PLUG_LOADTIME, PL_UNLOAD_REASON) {
    Unexpected("mutil pfnUnloadPluginByHandle");
    return 1;
}
const char* IsQueryingClientCvar(plid_t, const edict_t*) {
    Unexpected("mutil pfnIsQueryingClientCvar");
    return nullptr;
}
int MakeRequestID(plid_t) {
    Unexpected("mutil pfnMakeRequestID");
    return 0;
}
void GetHookTables(plid_t, enginefuncs_t**, DLL_FUNCTIONS**, NEW_DLL_FUNCTIONS**) {
    Unexpected("mutil pfnGetHookTables");
}

// ---- load protocol helpers ----

struct Version {
    int major = 0;
    int minor = 0;
};

Version ParseVersion(const char* text) {
    Version v;
    if (text != nullptr) std::sscanf(text, "%d:%d", &v.major, &v.minor);
    return v;
}

std::string MakePrivateCopy(const std::string& path, std::string& dir, std::string& error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp") + "/hostsim-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) {
        error = "cannot create a private folder";
        return {};
    }
    dir = buf.data();
    fs::path copy = fs::path(dir) / fs::path(path).filename();
    std::error_code ec;
    fs::copy_file(path, copy, ec);
    if (ec) {
        error = ec.message();
        return {};
    }
    return copy.string();
}

void RemovePrivateCopy(LoadedPlugin& p) {
    std::error_code ec;
    if (!p.tempDir.empty()) fs::remove_all(p.tempDir, ec);
    p.tempDir.clear();
}

template <typename Fn>
Fn Lookup(void* handle, const char* name) {
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

// One getter call into a fresh, zeroed buffer of exactly the manager's size.
template <typename Table, typename Getter>
bool CallGetter(Host::Impl& h, LoadedPlugin& p, Getter getter, const char* name, int asked,
                Table& keep) {
    if (getter == nullptr) return false;
    auto buffer = std::make_unique<Table>();  // zeroed
    int version = asked;
    int ok;
    if constexpr (std::is_same_v<Getter, GETENTITYAPI_FN>) {
        ok = getter(buffer.get(), version);
    } else {
        ok = getter(buffer.get(), &version);
    }
    if (ok == 0) {
        h.managerLog(p.name + ": " + name + " failed (asked for version " + std::to_string(asked) +
                     ", plug-in has " + std::to_string(version) + "); its table is kept");
    }
    keep = *buffer;
    return true;
}

}  // namespace

void WarnUnsetResult(Host::Impl& host, LoadedPlugin& plugin, const char* slot, const char* phase) {
    std::string line = plugin.name + ": " + phase + " hook " + slot + " left mres unset";
    host.unsetResults.push_back(line);
    host.record("warning: " + line);
}

void Host::Impl::buildUtilTable() {
    mutil_funcs_t& u = utilFuncs;
    u.pfnLogConsole = &LogConsole;
    u.pfnLogMessage = &LogMessage;
    u.pfnLogError = &LogError;
    u.pfnLogDeveloper = &LogDeveloper;
    u.pfnCenterSay = &CenterSay;
    u.pfnCenterSayParms = &CenterSayParms;
    u.pfnCenterSayVarargs = &CenterSayVarargs;
    u.pfnCallGameEntity = &CallGameEntity;
    u.pfnGetUserMsgID = &GetUserMsgID;
    u.pfnGetUserMsgName = &GetUserMsgName;
    u.pfnGetPluginPath = &GetPluginPath;
    u.pfnGetGameInfo = &GetGameInfo;
    u.pfnLoadPlugin = &LoadPlugin;
    u.pfnUnloadPlugin = &UnloadPlugin;
    u.pfnUnloadPluginByHandle = &UnloadPluginByHandle;
    u.pfnIsQueryingClientCvar = &IsQueryingClientCvar;
    u.pfnMakeRequestID = &MakeRequestID;
    u.pfnGetHookTables = &GetHookTables;
}

int Host::load(const std::string& path, const LoadOptions& options) {
    Impl& h = *impl_;
    auto owned = std::make_unique<LoadedPlugin>();
    LoadedPlugin& p = *owned;
    p.rec.path = path;
    p.name = fs::path(path).filename().string();

    auto reject = [&](const std::string& why) {
        h.managerLog(p.name + ": rejected: " + why);
        RemovePrivateCopy(p);
        // The library stays mapped (it is never closed: see unload).
        return -1;
    };

    std::string error;
    p.rec.loadedCopy = MakePrivateCopy(path, p.tempDir, error);
    if (p.rec.loadedCopy.empty()) return reject("cannot copy " + path + ": " + error);
    p.rec.handle = dlopen(p.rec.loadedCopy.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (p.rec.handle == nullptr) {
        std::string why = dlerror();
        for (std::size_t at; (at = why.find(p.rec.loadedCopy)) != std::string::npos;)
            why.replace(at, p.rec.loadedCopy.size(), path);
        return reject("cannot open: " + why);
    }
    auto query = Lookup<META_QUERY_FN>(p.rec.handle, "Meta_Query");
    if (query == nullptr) return reject("no Meta_Query");
    if (auto init = Lookup<void (*)()>(p.rec.handle, "Meta_Init")) init();
    auto give = Lookup<GIVE_ENGINE_FUNCTIONS_FN>(p.rec.handle, "GiveFnptrsToDll");
    if (give == nullptr) return reject("no GiveFnptrsToDll");
    auto attach = Lookup<META_ATTACH_FN>(p.rec.handle, "Meta_Attach");
    if (attach == nullptr) return reject("no Meta_Attach");

    p.engine = h.engineFuncs;  // the plug-in's own copy, trailing nulls included
    give(&p.engine.table, &h.globals);

    plugin_info_t* info = nullptr;
    const int queried = query(options.ifvers.c_str(), &info,
                              options.nullUtilFuncs ? nullptr : &h.utilFuncs);
    if (queried != 1) return reject("Meta_Query answered " + std::to_string(queried));
    if (info == nullptr) return reject("Meta_Query gave no plugin info");
    p.rec.info = info;
    if (info->name != nullptr) p.name = info->name;
    if (info->ifvers == nullptr) return reject("no interface version");

    const Version host = ParseVersion(options.ifvers.c_str());
    const Version plug = ParseVersion(info->ifvers);
    const std::string versions =
        std::string("plug-in interface ") + info->ifvers + ", ours " + options.ifvers;
    if (plug.major > host.major || (plug.major == host.major && plug.minor > host.minor))
        return reject("interface version too new (" + versions + ")");
    if (plug.major < host.major) return reject("interface version too old (" + versions + ")");
    if (plug.minor < host.minor)
        h.managerLog(p.name + ": older interface version accepted (" + versions + ")");

    p.gameCopy = h.gameFuncs;
    p.newGameCopy = h.gameNewFuncs;
    p.rec.gamedllFuncs.dllapi_table = &p.gameCopy;
    p.rec.gamedllFuncs.newapi_table = &p.newGameCopy;
    p.rec.metaFunctions = META_FUNCTIONS{};
    const int attached = attach(options.loadTime, &p.rec.metaFunctions, &p.rec.globals,
                                &p.rec.gamedllFuncs);
    if (attached != 1) return reject("Meta_Attach answered " + std::to_string(attached));
    p.rec.attached = true;

    const META_FUNCTIONS& m = p.rec.metaFunctions;
    CallGetter(h, p, m.pfnGetNewDLLFunctions, "GetNewDLLFunctions", NEW_DLL_FUNCTIONS_VERSION,
               p.rec.newGamePre);
    CallGetter(h, p, m.pfnGetNewDLLFunctions_Post, "GetNewDLLFunctions_Post",
               NEW_DLL_FUNCTIONS_VERSION, p.rec.newGamePost);
    p.rec.hasGamePre = CallGetter(h, p, m.pfnGetEntityAPI2, "GetEntityAPI2", options.dllVersion,
                                  p.rec.gamePre);
    p.rec.hasGamePost = CallGetter(h, p, m.pfnGetEntityAPI2_Post, "GetEntityAPI2_Post",
                                   options.dllVersion, p.rec.gamePost);
    if (!p.rec.hasGamePre && !p.rec.hasGamePost) {
        p.rec.hasGamePre = CallGetter(h, p, m.pfnGetEntityAPI, "GetEntityAPI", options.dllVersion,
                                      p.rec.gamePre);
        p.rec.hasGamePost = CallGetter(h, p, m.pfnGetEntityAPI_Post, "GetEntityAPI_Post",
                                       options.dllVersion, p.rec.gamePost);
    }
    p.rec.hasEnginePre = CallGetter(h, p, m.pfnGetEngineFunctions, "GetEngineFunctions",
                                    options.engineVersion, p.rec.enginePre);
    p.rec.hasEnginePost = CallGetter(h, p, m.pfnGetEngineFunctions_Post,
                                     "GetEngineFunctions_Post", options.engineVersion,
                                     p.rec.enginePost);
    p.active = true;
    h.plugins.push_back(std::move(owned));
    h.checkWatches();
    return static_cast<int>(h.plugins.size()) - 1;
}

int Host::unload(int plugin, PLUG_LOADTIME now, PL_UNLOAD_REASON reason) {
    Impl& h = *impl_;
    if (plugin < 0 || plugin >= static_cast<int>(h.plugins.size()) ||
        !h.plugins[static_cast<std::size_t>(plugin)]->active)
        return 0;
    LoadedPlugin& p = *h.plugins[static_cast<std::size_t>(plugin)];
    auto detach = Lookup<META_DETACH_FN>(p.rec.handle, "Meta_Detach");
    if (detach == nullptr) {
        h.managerLog(p.name + ": cannot unload: no Meta_Detach");
        return 0;
    }
    const int answer = detach(now, reason);
    if (answer != 1) {
        h.managerLog(p.name + ": Meta_Detach answered " + std::to_string(answer) + "; still loaded");
        return answer;
    }
    // The library is not closed: whatever it left on the heap stays reachable, as in a
    // server process, and a later load gets a fresh copy anyway.
    p.active = false;
    p.rec.attached = false;
    RemovePrivateCopy(p);
    h.checkWatches();
    return answer;
}

void* Host::symbol(int plugin, const char* name) const {
    if (plugin < 0 || plugin >= static_cast<int>(impl_->plugins.size())) return nullptr;
    void* handle = impl_->plugins[static_cast<std::size_t>(plugin)]->rec.handle;
    return handle != nullptr ? dlsym(handle, name) : nullptr;
}

PluginRecord& Host::plugin(int index) { return impl_->plugins.at(static_cast<std::size_t>(index))->rec; }
int Host::pluginCount() const { return static_cast<int>(impl_->plugins.size()); }
enginefuncs_t* Host::engineTable() { return &impl_->engineFuncs.table; }
mutil_funcs_t* Host::utilFuncs() { return &impl_->utilFuncs; }

void ReleasePluginFiles(Host::Impl& h) {
    for (auto& p : h.plugins) RemovePrivateCopy(*p);
}

}  // namespace hostsim
