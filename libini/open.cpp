// OpenIni: loads an INI file into a new IniFile with its working copy.
#include <cstdio>
#include <cstring>

#include "ini_model.h"

namespace {

void DiscardLoad(IniFile* ini, FILE* file) {
  if (ini->workingCopy != nullptr) {
    std::fclose(ini->workingCopy);
    const char last = MarkWorkingCopyName(ini->path);
    std::remove(ini->path);
    RestorePath(ini->path, last);
  }
  ReleaseHeadings(ini);
  IniFree(ini->path);
  IniFree(ini);
  if (file != nullptr) std::fclose(file);
}

}  // namespace

IniFile* OpenIni(const char* path) {
  if (path == nullptr || path[0] == '\0') return nullptr;
  const size_t length = std::strlen(path);
  // The working copy's name must differ from the file's own.
  if (path[length - 1] == '~') return nullptr;

  IniFile* ini = static_cast<IniFile*>(IniAllocate(sizeof(IniFile)));
  if (ini == nullptr) return nullptr;
  std::memset(ini, 0, sizeof(IniFile));
  ini->path = static_cast<char*>(IniAllocate(length + 1));
  if (ini->path == nullptr) {
    IniFree(ini);
    return nullptr;
  }
  std::memcpy(ini->path, path, length + 1);

  FILE* file = std::fopen(ini->path, "rb");
  if (file == nullptr) {
    DiscardLoad(ini, nullptr);
    return nullptr;
  }

  const char last = MarkWorkingCopyName(ini->path);
  ini->workingCopy = CreateWorkingCopy(ini->path);
  RestorePath(ini->path, last);
  if (ini->workingCopy == nullptr || ParseIni(ini, file) != 0) {
    DiscardLoad(ini, file);
    return nullptr;
  }
  std::fclose(file);
  return ini;
}
