// CloseIni: closes and deletes the working copy and releases the model.
#include <cstdio>

#include "ini_model.h"

int CloseIni(IniFile* ini) {
  if (ini == nullptr) return 0;
  if (ini->workingCopy != nullptr) {
    std::fclose(ini->workingCopy);
    const char last = MarkWorkingCopyName(ini->path);
    std::remove(ini->path);
    RestorePath(ini->path, last);
  }
  ReleaseHeadings(ini);
  IniFree(ini->path);
  IniFree(ini);
  return 0;
}
