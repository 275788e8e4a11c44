// The simulated engine's state: strings, entities, console variables, user messages,
// the console and the server log, and the records the host keeps of them.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "entity_fields.h"
#include "host_impl.h"

namespace hostsim {
namespace {

Host::Impl* g_current = nullptr;
constexpr std::size_t kStringPoolSize = 1 << 18;

const char* DestName(int dest) {
    static const char* const kNames[] = {"MSG_BROADCAST", "MSG_ONE", "MSG_ALL", "MSG_INIT",
                                         "MSG_PVS", "MSG_PAS", "MSG_PVS_R", "MSG_PAS_R",
                                         "MSG_ONE_UNRELIABLE", "MSG_SPEC"};
    if (dest < 0 || dest > MSG_SPEC) return nullptr;
    return kNames[dest];
}

std::string FieldText(const MsgField& f) {
    switch (f.type) {
        case FieldType::Byte: return "byte " + std::to_string(f.i);
        case FieldType::Char: return "char " + std::to_string(f.i);
        case FieldType::Short: return "short " + std::to_string(f.i);
        case FieldType::Long: return "long " + std::to_string(f.i);
        case FieldType::Angle: return "angle " + FloatText(f.f);
        case FieldType::Coord: return "coord " + FloatText(f.f);
        case FieldType::String: return "string \"" + Escaped(f.s) + "\"";
        case FieldType::Entity: return "entity " + std::to_string(f.i);
    }
    return "?";
}

}  // namespace

Host::Impl& CurrentHost() {
    if (g_current == nullptr) {
        std::fprintf(stderr, "hostsim: engine called with no host\n");
        std::abort();
    }
    return *g_current;
}
bool HasCurrentHost() { return g_current != nullptr; }
void SetCurrentHost(Host::Impl* impl) { g_current = impl; }

std::string FloatText(float value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string FormatV(const char* format, va_list args) {
    if (format == nullptr) return {};
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

Host::Impl::Impl(HostConfig cfg) : config(std::move(cfg)) {
    stringPool = std::make_unique<char[]>(kStringPoolSize);
    stringPool[0] = '\0';
    stringPoolUsed = 1;  // offset 0 is the empty text
    edicts = std::make_unique<edict_t[]>(kMaxEdicts);
    if (config.maxClients < 1) config.maxClients = 1;
    if (config.maxClients > kMaxPlayers) config.maxClients = kMaxPlayers;
    globals.maxClients = config.maxClients;
    globals.maxEntities = kMaxEdicts;
    globals.deathmatch = config.deathmatch;
    globals.pStringBase = stringPool.get();
    edictCount = 1 + kMaxPlayers;
    for (int i = 0; i < kMaxEdicts; ++i) {
        edicts[i].free = i < edictCount ? 0 : 1;
        edicts[i].v.pContainingEntity = &edicts[i];
    }
    setCvar("developer", FloatText(config.developer));
    setCvar("hostname", config.hostname);
    buildEngineTable();
    buildUtilTable();
    buildGameTable();
}

// ---- records ----

void Host::Impl::record(const std::string& line) {
    transcript.push_back(line);
    if (sink) sink(line);
}

static std::string WithoutLineEnd(const std::string& text) {
    if (!text.empty() && text.back() == '\n') return text.substr(0, text.size() - 1);
    return text;
}

void Host::Impl::logLine(const std::string& text) {
    serverLog.push_back(text);
    record("log: " + Escaped(WithoutLineEnd(text)));
}

void Host::Impl::consoleLine(const std::string& text) {
    console.push_back(text);
    record("console: " + Escaped(WithoutLineEnd(text)));
}

void Host::Impl::managerLog(const std::string& text) { logLine("[META] " + text); }

void Host::Impl::traceCall(const std::string& text) {
    if (config.traceCalls) record("call: " + text);
}

void Host::Impl::unexpectedCall(const char* what) {
    std::string line = std::string("unexpected engine call: ") + what;
    unexpected.push_back(what);
    record(line);
}

void Host::Impl::checkWatches() {
    for (Watch& w : watches) {
        std::string now = EntityFieldText(*edictAt(w.index), w.field);
        if (now != w.last) {
            record("watch: #" + std::to_string(w.index) + " " + w.field + " " + w.last + " -> " + now);
            w.last = now;
        }
    }
}

// ---- strings and entities ----

string_t Host::Impl::allocString(const std::string& text) {
    if (text.empty()) return 0;
    if (stringPoolUsed + text.size() + 1 > kStringPoolSize) {
        record("engine error: string pool full");
        return 0;
    }
    std::memcpy(stringPool.get() + stringPoolUsed, text.c_str(), text.size() + 1);
    const auto offset = static_cast<string_t>(stringPoolUsed);
    stringPoolUsed += text.size() + 1;
    return offset;
}

const char* Host::Impl::stringAt(string_t offset) const {
    if (offset < 0 || static_cast<std::size_t>(offset) >= stringPoolUsed) return "";
    return stringPool.get() + offset;
}

edict_t* Host::Impl::edictAt(int index) {
    if (index < 0 || index >= kMaxEdicts) return nullptr;
    return &edicts[index];
}

int Host::Impl::indexOf(const edict_t* e) const {
    if (e == nullptr) return -1;
    const auto base = reinterpret_cast<std::uintptr_t>(edicts.get());
    const auto at = reinterpret_cast<std::uintptr_t>(e);
    if (at < base || at >= base + sizeof(edict_t) * kMaxEdicts) return -1;
    if ((at - base) % sizeof(edict_t) != 0) return -1;
    return static_cast<int>((at - base) / sizeof(edict_t));
}

void Host::Impl::clearEntity(edict_t* e) {
    std::memset(&e->v, 0, sizeof e->v);
    e->v.pContainingEntity = e;
}

// ---- console variables ----

CvarEntry* Host::Impl::findCvar(const std::string& name) {
    auto it = cvars.find(name);
    return it == cvars.end() ? nullptr : it->second.get();
}

CvarEntry& Host::Impl::setCvar(const std::string& name, const std::string& value) {
    CvarEntry* c = findCvar(name);
    if (c == nullptr) {
        auto entry = std::make_unique<CvarEntry>();
        entry->name = name;
        c = entry.get();
        cvars[name] = std::move(entry);
        c->cvar.name = c->name.c_str();
    }
    c->value = value;
    c->cvar.string = c->value.c_str();
    c->cvar.value = static_cast<float>(std::atof(c->value.c_str()));
    if (name == "developer") config.developer = c->cvar.value;
    if (name == "hostname") config.hostname = value;
    return *c;
}

void Host::Impl::registerCvar(const cvar_t& source) {
    const std::string name = source.name != nullptr ? source.name : "";
    if (name.empty()) return;
    if (findCvar(name) != nullptr) {
        consoleLine("Can't register variable " + name + ", already defined\n");
        return;
    }
    CvarEntry& c = setCvar(name, source.string != nullptr ? source.string : "");
    c.cvar.flags = source.flags;
    record("engine: cvar " + name + " registered (\"" + Escaped(c.value) + "\")");
}

// ---- user messages ----

int Host::Impl::engineRegUserMsg(const char* name, int size) {
    if (failRegistration || name == nullptr || name[0] == '\0' || size > kMaxUserMessageSize) {
        record(std::string("engine: user message \"") + (name != nullptr ? Escaped(name) : "") +
               "\" not registered");
        return 0;
    }
    for (std::size_t i = 0; i < engineMessages.size(); ++i)
        if (engineMessages[i].name == name) return kFirstUserMessage + static_cast<int>(i);
    const int id = kFirstUserMessage + static_cast<int>(engineMessages.size());
    if (id > kLastUserMessage) {
        record(std::string("engine: user message \"") + Escaped(name) + "\" not registered: too many");
        return 0;
    }
    engineMessages.push_back({name, size});
    return id;
}

std::string Host::Impl::messageName(int type) const {
    const int i = type - kFirstUserMessage;
    if (i < 0 || i >= static_cast<int>(engineMessages.size())) return {};
    return engineMessages[static_cast<std::size_t>(i)].name;
}

void Host::Impl::engineMessageBegin(int dest, int type, const float* origin, edict_t* target,
                                    bool fromPlugin) {
    (void)origin;
    if (message.open) {
        record("engine error: pfnMessageBegin while message " + std::to_string(message.msg.type) +
               " is still open; it is discarded");
    }
    message.open = true;
    message.msg = SentMessage{};
    message.msg.dest = dest;
    message.msg.type = type;
    message.msg.name = messageName(type);
    message.msg.target = target != nullptr ? indexOf(target) : -1;
    message.msg.fromPlugin = fromPlugin;
    if (target != nullptr && message.msg.target < 0)
        record("engine error: pfnMessageBegin given a target that is no entity");
    traceCall("engine pfnMessageBegin " + std::to_string(dest) + " " + std::to_string(type));
}

void Host::Impl::engineWrite(const MsgField& field, const char* slot) {
    if (!message.open) {
        record(std::string("engine error: ") + slot + " with no message begun");
        return;
    }
    message.msg.fields.push_back(field);
}

void Host::Impl::engineMessageEnd() {
    if (!message.open) {
        record("engine error: pfnMessageEnd with no message begun");
        return;
    }
    message.open = false;
    SentMessage m = std::move(message.msg);
    const bool toOne = m.dest == MSG_ONE || m.dest == MSG_ONE_UNRELIABLE;
    if (inPutInServer) {
        m.dropped = true;
        m.dropReason = "sent during ClientPutInServer";
    } else if (toOne && m.target < 0) {
        m.dropped = true;
        m.dropReason = "no target";
    } else if (toOne) {
        const bool player = m.target >= 1 && m.target <= globals.maxClients;
        if (!player || !clients[m.target].connected) {
            m.dropped = true;
            m.dropReason = "target is not a connected client";
        } else if ((edictAt(m.target)->v.flags & FL_FAKECLIENT) != 0) {
            m.dropped = true;
            m.dropReason = "fake client";
        }
    }

    std::string line = m.fromPlugin ? "msg(plugin): " : "msg: ";
    const char* dest = DestName(m.dest);
    line += dest != nullptr ? dest : "dest " + std::to_string(m.dest);
    line += " " + (m.name.empty() ? std::string("?") : m.name) + "(" + std::to_string(m.type) + ")";
    if (m.target >= 0) line += " -> #" + std::to_string(m.target);
    if (m.target >= 1 && m.target <= kMaxPlayers && clients[m.target].connected)
        line += " " + clients[m.target].name;
    line += ":";
    for (std::size_t i = 0; i < m.fields.size(); ++i)
        line += (i == 0 ? " " : ", ") + FieldText(m.fields[i]);
    if (m.dropped) line += " [dropped: " + m.dropReason + "]";
    record(line);
    sent.push_back(std::move(m));
}

// ---- server commands ----

void Host::Impl::engineServerCommand(const std::string& text) {
    record("engine: server command \"" + Escaped(WithoutLineEnd(text)) + "\"");
    // Commands end at a line feed or at a ';' outside quotes.
    std::string one;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == '\n' || (c == ';' && !quoted)) {
            runCommandLine(one);
            one.clear();
            quoted = false;
        } else {
            one += c;
        }
    }
    runCommandLine(one);
}

void Host::Impl::runCommandLine(const std::string& text) {
    std::vector<std::string> args;
    std::string rest;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skipBlanks();
    while (i < text.size() && text[i] != '\n' && text[i] != ';') {
        if (args.size() == 1) {
            std::size_t end = text.find_first_of("\n;", i);
            rest = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
        }
        std::string word;
        if (text[i] == '"') {
            ++i;
            while (i < text.size() && text[i] != '"' && text[i] != '\n') word += text[i++];
            if (i < text.size() && text[i] == '"') ++i;
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n' &&
                   text[i] != ';')
                word += text[i++];
        }
        args.push_back(word);
        skipBlanks();
    }
    if (args.empty()) return;
    auto command = serverCommands.find(args[0]);
    if (command != serverCommands.end()) {
        commandArgs = args;
        commandArgsText = rest;
        command->second();
        commandArgs.clear();
        commandArgsText.clear();
        return;
    }
    if (CvarEntry* c = findCvar(args[0])) {
        if (args.size() == 1)
            consoleLine("\"" + c->name + "\" is \"" + c->value + "\"\n");
        else
            setCvar(args[0], args[1]);
        return;
    }
    consoleLine("Unknown command: " + args[0] + "\n");
}

}  // namespace hostsim
