// Key records, the key index of each heading and adding keys.
#include <cstring>

#include "ini_model.h"

Key* FindKey(Heading* heading, const char* name) {
  const uint32_t crc = NameCrc(name, std::strlen(name));
  for (Key* k = heading->keyChains[crc & 255u]; k != nullptr; k = k->chainNext) {
    if (k->nameCrc == crc && std::strcmp(k->name, name) == 0) return k;
  }
  return nullptr;
}

Key* AddKey(IniFile* ini, char* name) {
  Heading* heading = ini->selectedHeading;
  if (heading == nullptr || name[0] == '\0') return nullptr;
  Key* found = FindKey(heading, name);
  if (found != nullptr) {
    IniFree(found->name);
    found->name = name;
    heading->selectedKey = found;
    return found;
  }
  Key* key = static_cast<Key*>(IniAllocate(sizeof(Key)));
  if (key == nullptr) return nullptr;
  std::memset(key, 0, sizeof(Key));
  key->name = name;
  key->prev = heading->lastKey;
  if (heading->lastKey != nullptr) heading->lastKey->next = key;
  else heading->firstKey = key;
  heading->lastKey = key;
  key->nameCrc = NameCrc(name, std::strlen(name));
  Key*& chain = heading->keyChains[key->nameCrc & 255u];
  key->chainNext = chain;
  if (chain != nullptr) chain->chainPrev = key;
  chain = key;
  heading->selectedKey = key;
  return key;
}

void ReleaseKeys(Heading* heading) {
  Key* key = heading->firstKey;
  while (key != nullptr) {
    Key* next = key->next;
    IniFree(key->name);
    IniFree(key);
    key = next;
  }
  heading->firstKey = nullptr;
  heading->lastKey = nullptr;
  heading->selectedKey = nullptr;
  heading->keyMissing = false;
  std::memset(heading->keyChains, 0, sizeof(heading->keyChains));
}
