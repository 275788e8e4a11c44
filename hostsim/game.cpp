// The simulated game DLL and the host's scripted game actions. Every engine call of the
// game and every call of the engine into the game passes through the plug-ins' hooks.
#include <cstring>

#include "entity_fields.h"
#include "hook_dispatch.h"
#include "host_impl.h"
#include "slot_lists.h"

namespace hostsim {
namespace {

Host::Impl& H() { return CurrentHost(); }

std::string EntityName(edict_t* e) {
    Host::Impl& h = H();
    const int index = h.indexOf(e);
    if (index < 0) return "?";
    std::string text = "#" + std::to_string(index);
    const char* classname = h.stringAt(e->v.classname);
    if (classname[0] != '\0') text += std::string(" ") + classname;
    return text;
}

// Game-DLL slots the simulated game does not implement.
template <int Index, typename F>
struct UnexpectedGame;

template <int Index, typename R, typename... A>
struct UnexpectedGame<Index, R (*)(A...)> {
    static R Call(A...) {
        if (HasCurrentHost()) {
            Host::Impl& h = CurrentHost();
            std::string what = std::string("game ") + GameSlotName(Index);
            h.unexpected.push_back(what);
            h.record("unexpected game call: " + std::string(GameSlotName(Index)));
        }
        return R();
    }
};

// ---- the game's own functions ----
void GameInit() { H().traceCall("game pfnGameInit"); }

int Spawn(edict_t* e) {
    Host::Impl& h = H();
    h.traceCall("game pfnSpawn " + EntityName(e));
    if (h.indexOf(e) == 0 && !h.firstMapDone) {
        h.firstMapDone = true;
        h.owner->registerGameMessages();
    }
    return 0;
}

int ClientConnect(edict_t* e, const char* name, const char*, char*) {
    H().traceCall("game pfnClientConnect " + EntityName(e) + " " + (name != nullptr ? name : ""));
    return 1;
}

void ClientPutInServer(edict_t* e) {
    Host::Impl& h = H();
    h.traceCall("game pfnClientPutInServer " + EntityName(e));
    e->v.classname = h.allocString("player");
    e->v.health = 100.0f;
    e->v.deadflag = DEAD_NO;
    e->v.flags |= FL_CLIENT;
}

void ClientDisconnect(edict_t* e) { H().traceCall("game pfnClientDisconnect " + EntityName(e)); }
void ServerActivate(edict_t*, int count, int clientMax) {
    H().traceCall("game pfnServerActivate " + std::to_string(count) + " " + std::to_string(clientMax));
}
void ServerDeactivate() { H().traceCall("game pfnServerDeactivate"); }
void StartFrame() { H().traceCall("game pfnStartFrame"); }
void PlayerPreThink(edict_t* e) { H().traceCall("game pfnPlayerPreThink " + EntityName(e)); }
void PlayerPostThink(edict_t* e) { H().traceCall("game pfnPlayerPostThink " + EntityName(e)); }

// The standard set of messages the game registers, in its order, with their sizes.
struct GameMessage {
    const char* name;
    int size;
};
const GameMessage kGameMessages[] = {
    {"SelAmmo", 28},    {"CurWeapon", 3},   {"Geiger", 1},      {"Flashlight", 2},
    {"FlashBat", 1},    {"Health", 1},      {"Damage", 12},     {"Battery", 2},
    {"Train", 1},       {"HudText", -1},    {"SayText", -1},    {"TextMsg", -1},
    {"WeaponList", -1}, {"ResetHUD", 1},    {"InitHUD", 0},     {"GameTitle", 1},
    {"DeathMsg", -1},   {"ScoreInfo", 9},   {"TeamInfo", -1},   {"TeamScore", -1},
    {"GameMode", 1},    {"MOTD", -1},       {"AmmoPickup", 2},  {"WeapPickup", 1},
    {"ItemPickup", -1}, {"HideWeapon", 1},  {"SetFOV", 1},      {"ShowMenu", -1},
    {"ScreenShake", 6}, {"ScreenFade", 10}, {"AmmoX", 2},       {"TeamNames", -1},
    {"StatusText", -1}, {"StatusValue", 3},
};

// ---- calls through the hooks ----
template <typename R, typename... P, typename Real, typename... A>
R Engine(R (*enginefuncs_t::*slot)(P...), const char* name, Real&& real, A... args) {
    return CallThroughHooks(H(), &PluginRecord::enginePre, &PluginRecord::enginePost, slot, name,
                            std::forward<Real>(real), args...);
}

template <typename R, typename... P, typename... A>
R Game(R (*DLL_FUNCTIONS::*slot)(P...), const char* name, A... args) {
    Host::Impl& h = H();
    return CallThroughHooks(h, &PluginRecord::gamePre, &PluginRecord::gamePost, slot, name,
                            h.gameFuncs.*slot, args...);
}

// Watches are compared once the outermost host action is done.
struct Action {
    Host::Impl& h;
    explicit Action(Host::Impl& host) : h(host) { ++h.actionDepth; }
    ~Action() {
        if (--h.actionDepth == 0) h.checkWatches();
    }
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;
};

}  // namespace

void Host::Impl::buildGameTable() {
    DLL_FUNCTIONS& t = gameFuncs;
#define HOSTSIM_STUB(name, index)                                                     \
    static_assert(offsetof(DLL_FUNCTIONS, name) == (index) * sizeof(void*), #name); \
    t.name = &UnexpectedGame<index, decltype(DLL_FUNCTIONS::name)>::Call;
    HOSTSIM_GAME_SLOTS(HOSTSIM_STUB)
#undef HOSTSIM_STUB
    t.pfnGameInit = &GameInit;
    t.pfnSpawn = &Spawn;
    t.pfnClientConnect = &ClientConnect;
    t.pfnClientDisconnect = &ClientDisconnect;
    t.pfnClientPutInServer = &ClientPutInServer;
    t.pfnServerActivate = &ServerActivate;
    t.pfnServerDeactivate = &ServerDeactivate;
    t.pfnPlayerPreThink = &PlayerPreThink;
    t.pfnPlayerPostThink = &PlayerPostThink;
    t.pfnStartFrame = &StartFrame;
}

// ---- construction ----

Host::Host(HostConfig config) : impl_(std::make_unique<Impl>(std::move(config))) {
    impl_->owner = this;
    SetCurrentHost(impl_.get());
}

Host::~Host() {
    ReleasePluginFiles(*impl_);
    if (HasCurrentHost() && &CurrentHost() == impl_.get()) SetCurrentHost(nullptr);
}

// ---- engine state ----

const HostConfig& Host::config() const { return impl_->config; }
void Host::setGameDir(const std::string& dir) { impl_->config.gameDir = dir; }
void Host::setMaxClients(int count) {
    if (count < 1) count = 1;
    if (count > kMaxPlayers) count = kMaxPlayers;
    impl_->config.maxClients = count;
    impl_->globals.maxClients = count;
}
void Host::setTraceCalls(bool on) { impl_->config.traceCalls = on; }
globalvars_t& Host::globals() { return impl_->globals; }
edict_t* Host::edict(int index) { return impl_->edictAt(index); }
bool Host::setField(int index, const std::string& field, const std::vector<double>& values) {
    Action a(*impl_);
    edict_t* e = impl_->edictAt(index);
    const EntityField* f = FindEntityField(field);
    return e != nullptr && f != nullptr && SetEntityField(*e, *f, values);
}
int Host::indexOf(const edict_t* e) const { return impl_->indexOf(e); }
void Host::setDeathmatch(float value) {
    impl_->config.deathmatch = value;
    impl_->globals.deathmatch = value;
}
void Host::setTime(float seconds) { impl_->globals.time = seconds; }
void Host::setCvar(const std::string& name, const std::string& value) {
    Action a(*impl_);
    impl_->setCvar(name, value);
}
float Host::cvarFloat(const std::string& name) const {
    CvarEntry* c = impl_->findCvar(name);
    return c != nullptr ? c->cvar.value : 0.0f;
}
std::string Host::cvarString(const std::string& name) const {
    CvarEntry* c = impl_->findCvar(name);
    return c != nullptr ? c->value : std::string();
}
bool Host::cvarRegistered(const std::string& name) const { return impl_->findCvar(name) != nullptr; }
void Host::serverCommand(const std::string& line) {
    Action a(*impl_);
    impl_->runCommandLine(line);
}
void Host::failMessageRegistration(bool fail) { impl_->failRegistration = fail; }
int Host::messageId(const std::string& name) const {
    for (std::size_t i = 0; i < impl_->engineMessages.size(); ++i)
        if (impl_->engineMessages[i].name == name) return kFirstUserMessage + static_cast<int>(i);
    return 0;
}

// ---- game actions ----

void Host::registerGameMessages() {
    Action a(*impl_);
    for (const GameMessage& m : kGameMessages) registerMessage(m.name, m.size);
}

int Host::registerMessage(const std::string& name, int size) {
    Action a(*impl_);
    Impl& h = *impl_;
    return Engine(&enginefuncs_t::pfnRegUserMsg, "pfnRegUserMsg",
                  [&h](const char* n, int s) {
                      h.traceCall(std::string("engine pfnRegUserMsg ") + n);
                      const int id = h.engineRegUserMsg(n, s);
                      if (id != 0) h.gameMessageIds[n] = id;  // the manager's record
                      return id;
                  },
                  name.c_str(), size);
}

void Host::mapStart(const std::string& mapName) {
    Action a(*impl_);
    Impl& h = *impl_;
    if (h.mapActive) serverDeactivate();
    if (!h.gameInitDone) {
        h.gameInitDone = true;
        Game(&DLL_FUNCTIONS::pfnGameInit, "pfnGameInit");
    }
    // Entities of the last map are gone; players keep their slots.
    for (int i = 1 + kMaxPlayers; i < h.edictCount; ++i) {
        h.clearEntity(h.edictAt(i));
        h.edictAt(i)->free = 1;
    }
    h.edictCount = 1 + kMaxPlayers;
    h.globals.mapname = h.allocString(mapName);
    edict_t* world = h.edictAt(0);
    h.clearEntity(world);
    world->v.classname = h.allocString("worldspawn");
    Game(&DLL_FUNCTIONS::pfnSpawn, "pfnSpawn", world);
    Game(&DLL_FUNCTIONS::pfnServerActivate, "pfnServerActivate", h.edictAt(0), h.edictCount,
         h.globals.maxClients);
    h.mapActive = true;
}

void Host::serverDeactivate() {
    Action a(*impl_);
    Game(&DLL_FUNCTIONS::pfnServerDeactivate, "pfnServerDeactivate");
    impl_->mapActive = false;
}

int Host::connect(const std::string& name, bool bot) {
    Action a(*impl_);
    Impl& h = *impl_;
    int index = -1;
    for (int i = 1; i <= h.globals.maxClients; ++i) {
        if (!h.clients[i].connected) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        h.record("host: no free player slot for " + name);
        return -1;
    }
    edict_t* e = h.edictAt(index);
    ClientState& c = h.clients[index];
    c = ClientState{};
    c.connected = true;
    c.bot = bot;
    c.userId = ++h.nextUserId;
    c.name = name;
    e->free = 0;
    if (bot) {
        // The engine makes the fake client; no game call is involved.
        h.clearEntity(e);
        e->v.netname = h.allocString(name);
        e->v.flags = FL_FAKECLIENT | FL_CLIENT;
        return index;
    }
    char reject[128] = "";
    const int accepted =
        Game(&DLL_FUNCTIONS::pfnClientConnect, "pfnClientConnect", e, name.c_str(), "127.0.0.1", reject);
    if (accepted == 0) {
        h.record("host: " + name + " refused by pfnClientConnect: " + reject);
        c = ClientState{};
        return -1;
    }
    h.clearEntity(e);
    e->v.netname = h.allocString(name);
    h.inPutInServer = true;
    Game(&DLL_FUNCTIONS::pfnClientPutInServer, "pfnClientPutInServer", e);
    h.inPutInServer = false;
    c.spawned = true;
    return index;
}

void Host::disconnect(int index) {
    Action a(*impl_);
    Impl& h = *impl_;
    if (index < 1 || index > kMaxPlayers || !h.clients[index].connected) return;
    if (h.clients[index].spawned) clientDisconnect(index);
    h.clients[index] = ClientState{};
}

void Host::frame(float seconds) {
    Action a(*impl_);
    Impl& h = *impl_;
    h.globals.time += seconds;
    h.globals.frametime = seconds;
    Game(&DLL_FUNCTIONS::pfnStartFrame, "pfnStartFrame");
    for (int i = 1; i <= h.globals.maxClients; ++i) {
        if (!h.clients[i].connected) continue;
        Game(&DLL_FUNCTIONS::pfnPlayerPreThink, "pfnPlayerPreThink", h.edictAt(i));
        playerPostThink(i);
    }
}

void Host::sendMessage(int dest, const std::string& name, int target,
                       const std::vector<MsgField>& fields) {
    Action a(*impl_);
    const int type = messageId(name);
    if (type == 0) {
        impl_->record("host error: message " + name + " is not registered; not sent");
        return;
    }
    sendMessageId(dest, type, target, fields);
}

void Host::sendMessageId(int dest, int type, int target, const std::vector<MsgField>& fields) {
    Action a(*impl_);
    messageBegin(dest, type, nullptr, target);
    for (const MsgField& f : fields) writeField(f);
    messageEnd();
}

int Host::spawn(const std::string& classname) {
    Action a(*impl_);
    Impl& h = *impl_;
    if (h.edictCount >= kMaxEdicts) {
        h.record("host error: no free entity for " + classname);
        return -1;
    }
    const int index = h.edictCount++;
    edict_t* e = h.edictAt(index);
    h.clearEntity(e);
    e->free = 0;
    e->v.classname = h.allocString(classname);
    Game(&DLL_FUNCTIONS::pfnSpawn, "pfnSpawn", e);
    return index;
}

void Host::messageBegin(int dest, int type, const float* origin, int target) {
    Action a(*impl_);
    Impl& h = *impl_;
    edict_t* e = target > 0 ? h.edictAt(target) : nullptr;
    Engine(&enginefuncs_t::pfnMessageBegin, "pfnMessageBegin",
           [&h](int d, int t, const float* o, edict_t* ed) { h.engineMessageBegin(d, t, o, ed, false); },
           dest, type, origin, e);
}

void Host::writeField(const MsgField& f) {
    Action a(*impl_);
    Impl& h = *impl_;
    auto real = [&h](const char* slot, MsgField field) {
        h.traceCall(std::string("engine ") + slot);
        h.engineWrite(field, slot);
    };
    switch (f.type) {
        case FieldType::Byte:
            Engine(&enginefuncs_t::pfnWriteByte, "pfnWriteByte",
                   [&](int v) { real("pfnWriteByte", MsgField::Byte(v)); }, f.i);
            break;
        case FieldType::Char:
            Engine(&enginefuncs_t::pfnWriteChar, "pfnWriteChar",
                   [&](int v) { real("pfnWriteChar", MsgField::Char(v)); }, f.i);
            break;
        case FieldType::Short:
            Engine(&enginefuncs_t::pfnWriteShort, "pfnWriteShort",
                   [&](int v) { real("pfnWriteShort", MsgField::Short(v)); }, f.i);
            break;
        case FieldType::Long:
            Engine(&enginefuncs_t::pfnWriteLong, "pfnWriteLong",
                   [&](int v) { real("pfnWriteLong", MsgField::Long(v)); }, f.i);
            break;
        case FieldType::Angle:
            Engine(&enginefuncs_t::pfnWriteAngle, "pfnWriteAngle",
                   [&](float v) { real("pfnWriteAngle", MsgField::Angle(v)); }, f.f);
            break;
        case FieldType::Coord:
            Engine(&enginefuncs_t::pfnWriteCoord, "pfnWriteCoord",
                   [&](float v) { real("pfnWriteCoord", MsgField::Coord(v)); }, f.f);
            break;
        case FieldType::String:
            Engine(&enginefuncs_t::pfnWriteString, "pfnWriteString",
                   [&](const char* v) { real("pfnWriteString", MsgField::String(v != nullptr ? v : "")); },
                   f.s.c_str());
            break;
        case FieldType::Entity:
            Engine(&enginefuncs_t::pfnWriteEntity, "pfnWriteEntity",
                   [&](int v) { real("pfnWriteEntity", MsgField::Entity(v)); }, f.i);
            break;
    }
}

void Host::messageEnd() {
    Action a(*impl_);
    Impl& h = *impl_;
    Engine(&enginefuncs_t::pfnMessageEnd, "pfnMessageEnd", [&h] {
        h.traceCall("engine pfnMessageEnd");
        h.engineMessageEnd();
    });
}

void Host::clientDisconnect(int index) {
    Action a(*impl_);
    Game(&DLL_FUNCTIONS::pfnClientDisconnect, "pfnClientDisconnect", impl_->edictAt(index));
}

void Host::playerPostThink(int index) {
    Action a(*impl_);
    Game(&DLL_FUNCTIONS::pfnPlayerPostThink, "pfnPlayerPostThink", impl_->edictAt(index));
}

// ---- observation ----

const std::vector<std::string>& Host::transcript() const { return impl_->transcript; }
std::vector<std::string> Host::serverLog() const { return impl_->serverLog; }
std::vector<std::string> Host::console() const { return impl_->console; }
const std::vector<SentMessage>& Host::sentMessages() const { return impl_->sent; }
void Host::clearRecords() {
    impl_->transcript.clear();
    impl_->serverLog.clear();
    impl_->console.clear();
    impl_->sent.clear();
    impl_->unexpected.clear();
    impl_->unsetResults.clear();
}
void Host::watch(int index, const std::string& field) {
    edict_t* e = impl_->edictAt(index);
    if (e == nullptr || FindEntityField(field) == nullptr) return;
    impl_->watches.push_back({index, field, EntityFieldText(*e, field)});
}
void Host::onTranscript(std::function<void(const std::string&)> sink) { impl_->sink = std::move(sink); }
const std::vector<std::string>& Host::unexpectedCalls() const { return impl_->unexpected; }
const std::vector<std::string>& Host::unsetResults() const { return impl_->unsetResults; }

}  // namespace hostsim
