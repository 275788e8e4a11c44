#include "entity_fields.h"

#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "host_impl.h"

namespace hostsim {
namespace {

#define HOSTSIM_FIELD(name, kind) {#name, EntityFieldKind::kind, offsetof(entvars_t, name)}
const EntityField kFields[] = {
    HOSTSIM_FIELD(origin, Vector),      HOSTSIM_FIELD(velocity, Vector),
    HOSTSIM_FIELD(angles, Vector),      HOSTSIM_FIELD(v_angle, Vector),
    HOSTSIM_FIELD(punchangle, Vector),  HOSTSIM_FIELD(health, Float),
    HOSTSIM_FIELD(deadflag, Int),       HOSTSIM_FIELD(flags, Flags),
    HOSTSIM_FIELD(spawnflags, Flags),   HOSTSIM_FIELD(fov, Float),
    HOSTSIM_FIELD(maxspeed, Float),     HOSTSIM_FIELD(frags, Float),
    HOSTSIM_FIELD(armorvalue, Float),   HOSTSIM_FIELD(weapons, Flags),
    HOSTSIM_FIELD(button, Flags),       HOSTSIM_FIELD(takedamage, Float),
};
#undef HOSTSIM_FIELD

template <typename T>
T Read(const entvars_t& v, std::size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const char*>(&v) + offset, sizeof value);
    return value;
}

template <typename T>
void Write(entvars_t& v, std::size_t offset, T value) {
    std::memcpy(reinterpret_cast<char*>(&v) + offset, &value, sizeof value);
}

}  // namespace

const EntityField* FindEntityField(const std::string& name) {
    for (const EntityField& f : kFields)
        if (name == f.name) return &f;
    return nullptr;
}

std::string EntityFieldNames() {
    std::string out;
    for (const EntityField& f : kFields) {
        if (!out.empty()) out += ", ";
        out += f.name;
    }
    return out;
}

std::string EntityFieldText(const edict_t& e, const std::string& name) {
    const EntityField* f = FindEntityField(name);
    if (f == nullptr) return {};
    switch (f->kind) {
        case EntityFieldKind::Vector: {
            const auto v = Read<vec3_t>(e.v, f->offset);
            return "(" + FloatText(v.x) + ", " + FloatText(v.y) + ", " + FloatText(v.z) + ")";
        }
        case EntityFieldKind::Float: return FloatText(Read<float>(e.v, f->offset));
        case EntityFieldKind::Int: return std::to_string(Read<int>(e.v, f->offset));
        case EntityFieldKind::Flags: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "0x%08" PRIx32,
                          static_cast<std::uint32_t>(Read<int>(e.v, f->offset)));
            return buf;
        }
    }
    return {};
}

bool SetEntityField(edict_t& e, const EntityField& field, const std::vector<double>& values) {
    if (field.kind == EntityFieldKind::Vector) {
        if (values.size() != 3) return false;
        vec3_t v{static_cast<float>(values[0]), static_cast<float>(values[1]),
                 static_cast<float>(values[2])};
        Write(e.v, field.offset, v);
        return true;
    }
    if (values.size() != 1) return false;
    if (field.kind == EntityFieldKind::Float)
        Write(e.v, field.offset, static_cast<float>(values[0]));
    else
        Write(e.v, field.offset, static_cast<int>(static_cast<std::int64_t>(values[0])));
    return true;
}

}  // namespace hostsim
