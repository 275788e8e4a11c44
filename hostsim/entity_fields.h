// Entity fields that scenarios and watches name, read and written as text.
#pragma once

#include <string>
#include <vector>

#include "entities.h"

namespace hostsim {

enum class EntityFieldKind { Vector, Float, Int, Flags };

struct EntityField {
    const char* name;
    EntityFieldKind kind;
    std::size_t offset;  // in entvars_t
};

// Null when the name is not one of the known fields.
const EntityField* FindEntityField(const std::string& name);
// Names of the known fields, for help texts.
std::string EntityFieldNames();
// Current value: "(x, y, z)" for vectors, the shortest exact text for floats, decimal
// for integers, hexadecimal for bit fields; "" for an unknown field.
std::string EntityFieldText(const edict_t& e, const std::string& name);
// Sets a field from numbers (three for a vector, one otherwise); false on a count mismatch.
bool SetEntityField(edict_t& e, const EntityField& field, const std::vector<double>& values);

}  // namespace hostsim
