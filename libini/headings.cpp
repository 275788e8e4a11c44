// Heading records, the heading index and adding headings.
#include <cstring>

#include "ini_model.h"

Heading* FindHeading(IniFile* ini, const char* name) {
  const uint32_t crc = NameCrc(name, std::strlen(name));
  for (Heading* h = ini->headingChains[crc & 255u]; h != nullptr; h = h->chainNext) {
    if (h->nameCrc == crc && std::strcmp(h->name, name) == 0) return h;
  }
  return nullptr;
}

Heading* AddHeading(IniFile* ini, char* name) {
  Heading* found = FindHeading(ini, name);
  if (found != nullptr) {
    IniFree(name);
    ini->selectedHeading = found;
    return found;
  }
  Heading* heading = static_cast<Heading*>(IniAllocate(sizeof(Heading)));
  if (heading == nullptr) {
    IniFree(name);
    return nullptr;
  }
  std::memset(heading, 0, sizeof(Heading));
  heading->name = name;
  if (name[0] != '\0') {
    heading->prev = ini->lastHeading;
    if (ini->lastHeading != nullptr) ini->lastHeading->next = heading;
    else ini->firstHeading = heading;
    ini->lastHeading = heading;
  } else {
    heading->next = ini->firstHeading;
    if (ini->firstHeading != nullptr) ini->firstHeading->prev = heading;
    else ini->lastHeading = heading;
    ini->firstHeading = heading;
  }
  heading->nameCrc = NameCrc(name, std::strlen(name));
  Heading*& chain = ini->headingChains[heading->nameCrc & 255u];
  heading->chainNext = chain;
  if (chain != nullptr) chain->chainPrev = heading;
  chain = heading;
  ini->selectedHeading = heading;
  return heading;
}

void ReleaseHeadings(IniFile* ini) {
  Heading* heading = ini->firstHeading;
  while (heading != nullptr) {
    Heading* next = heading->next;
    ReleaseKeys(heading);
    IniFree(heading->name);
    IniFree(heading);
    heading = next;
  }
  ini->firstHeading = nullptr;
  ini->lastHeading = nullptr;
  ini->selectedHeading = nullptr;
  ini->headingMissing = false;
  std::memset(ini->headingChains, 0, sizeof(ini->headingChains));
}
