// ParseIni: one pass over the INI file that indexes its headings and keys and writes
// the working copy.
#include <cstdio>
#include <cstring>

#include "ini_model.h"

namespace {

// Shared by all loads; one parse runs at a time.
unsigned char g_readBuffer[kIniBlockSize];

// The block in g_readBuffer: file bytes [start, start + count).
struct Block {
  uint32_t start = 0;
  size_t count = 0;
  bool fileMoved = false;  // a name was read back from the file: its position moved
};

// Reads the bytes [start, start + length) of the file into a new trimmed text. A name
// ends at the byte being handled, so it usually lies wholly in the block held in memory
// and is copied from there; one that began in an earlier block is read back from the
// file (the block reading seeks to its own position again before it reads on).
char* ReadName(FILE* file, Block& block, uint32_t start, uint32_t length) {
  if (length == UINT32_MAX) return nullptr;
  char* name = static_cast<char*>(IniAllocate(static_cast<size_t>(length) + 1));
  if (name == nullptr) return nullptr;
  if (length > 0) {
    if (start >= block.start && start - block.start + length <= block.count) {
      std::memcpy(name, g_readBuffer + (start - block.start), length);
    } else {
      block.fileMoved = true;
      if (SeekTo(file, start) != 0 || std::fread(name, 1, length, file) != length) {
        IniFree(name);
        return nullptr;
      }
    }
  }
  name[length] = '\0';
  return TrimText(name);
}

bool AddHeadingFromRange(IniFile* ini, FILE* file, Block& block, uint32_t start,
                         uint32_t length) {
  char* name = ReadName(file, block, start, length);
  return name != nullptr && AddHeading(ini, name) != nullptr;
}

Key* AddKeyFromRange(IniFile* ini, FILE* file, Block& block, uint32_t start,
                     uint32_t length) {
  char* name = ReadName(file, block, start, length);
  if (name == nullptr) return nullptr;
  Key* key = AddKey(ini, name);
  if (key == nullptr) {
    IniFree(name);
    return nullptr;
  }
  key->valueStart = static_cast<int32_t>(start + length + 1);
  return key;
}

struct ParseState {
  uint32_t position = 0;
  bool hasNameStart = false;
  uint32_t nameStart = 0;
  bool lineStart = true;
  bool inHeading = false;
  bool skipping = false;
  bool done = false;
  Key* openKey = nullptr;

  void CloseOpenKey() {
    if (openKey == nullptr) return;
    openKey->valueLength =
        static_cast<int32_t>(position - static_cast<uint32_t>(openKey->valueStart));
    openKey = nullptr;
  }
};

// Handles one byte; false when the load fails.
bool HandleByte(IniFile* ini, FILE* file, Block& block, ParseState& s, unsigned char c) {
  if (c == 10 || c == 12 || c == 13 || c == kIniEndOfText) {
    s.inHeading = false;
    s.skipping = false;
    s.lineStart = true;
    s.hasNameStart = false;
    s.CloseOpenKey();
    if (c == kIniEndOfText) s.done = true;
    return true;
  }
  if (c == '#' || c == ';') {
    s.skipping = true;
    s.CloseOpenKey();
    return true;
  }
  if (s.skipping) return true;
  switch (c) {
    case '=':
      if (!s.inHeading && s.hasNameStart) {
        if (ini->selectedHeading == nullptr) {
          char* empty = static_cast<char*>(IniAllocate(1));
          if (empty == nullptr) return false;
          empty[0] = '\0';
          if (AddHeading(ini, empty) == nullptr) return false;
        }
        s.openKey = AddKeyFromRange(ini, file, block, s.nameStart, s.position - s.nameStart);
        if (s.openKey == nullptr) return false;
      }
      s.skipping = true;
      s.lineStart = false;
      return true;
    case '[':
      if (s.lineStart) {
        s.inHeading = true;
        s.hasNameStart = true;
        s.nameStart = s.position + 1;
      } else {
        s.skipping = true;
      }
      s.lineStart = false;
      return true;
    case ']':
      if (s.inHeading && s.hasNameStart && s.nameStart <= s.position &&
          !AddHeadingFromRange(ini, file, block, s.nameStart, s.position - s.nameStart)) {
        return false;
      }
      s.skipping = true;
      s.lineStart = false;
      return true;
    default:
      if (s.lineStart) {
        s.hasNameStart = true;
        s.nameStart = s.position;
      }
      s.lineStart = false;
      return true;
  }
}

int FailParse(IniFile* ini) {
  ReleaseHeadings(ini);
  return -1;
}

}  // namespace

int ParseIni(IniFile* ini, FILE* file) {
  ReleaseHeadings(ini);
  ParseState s;
  // The stream stands at the current position after a whole block was handled without
  // reading names back; the end of the file, once met, needs no further read.
  bool streamAtPosition = false;
  bool endOfFile = false;
  while (!s.done) {
    Block block;
    block.start = s.position;
    if (!endOfFile) {
      if (!streamAtPosition && SeekTo(file, s.position) != 0) return FailParse(ini);
      block.count = std::fread(g_readBuffer, 1, kIniBlockSize, file);
      // A read that stops short of the end of the file is a read error: fail rather
      // than read the same position again for ever.
      if (std::ferror(file)) return FailParse(ini);
      endOfFile = std::feof(file) != 0;
      if (block.count == 0 && !endOfFile) return FailParse(ini);
    }
    if (block.count == 0) {
      g_readBuffer[0] = kIniEndOfText;
      block.count = 1;
    }
    const size_t count = block.count;
    size_t handled = 0;
    while (handled < count) {
      if (!HandleByte(ini, file, block, s, g_readBuffer[handled])) return FailParse(ini);
      if (s.done) break;
      ++handled;
      if (++s.position == 0) {
        std::fputs("INI file is too large\n", stdout);
        return FailParse(ini);
      }
    }
    streamAtPosition = !block.fileMoved;
    // A short working copy would give wrong values later: a failed write fails the load.
    if (handled > 0 && std::fwrite(g_readBuffer, 1, handled, ini->workingCopy) != handled) {
      return FailParse(ini);
    }
  }
  if (std::fflush(ini->workingCopy) != 0) return FailParse(ini);
  return 0;
}
