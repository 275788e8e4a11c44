// Selecting a heading and a key by name.
#include "ini_model.h"

int SelectHeading(IniFile* ini, const char* name) {
  if (ini == nullptr || name == nullptr) return -1;
  Heading* heading = FindHeading(ini, name);
  if (heading == nullptr) {
    ini->headingMissing = true;
    return -1;
  }
  ini->selectedHeading = heading;
  ini->headingMissing = false;
  return 0;
}

int SelectKey(IniFile* ini, const char* name) {
  if (ini == nullptr || name == nullptr) return -1;
  Heading* heading = ini->selectedHeading;
  if (heading == nullptr || ini->headingMissing) return -1;
  Key* key = FindKey(heading, name);
  if (key == nullptr) {
    heading->keyMissing = true;
    return -1;
  }
  heading->selectedKey = key;
  heading->keyMissing = false;
  return 0;
}
