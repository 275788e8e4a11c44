// Inside the INI reader: the model of one loaded file and the operations of its units.
// Only ini.h is the reader's public face; this header is for the reader's own sources
// (and for tests that check the model).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "ini.h"

constexpr int kIniChainCount = 256;      // chains in each name index
constexpr size_t kIniBlockSize = 8192;   // bytes of the INI file read at a time
constexpr unsigned char kIniEndOfText = 26;

struct Key {
  char* name;
  int32_t valueStart;   // position of the byte after the "="
  int32_t valueLength;  // bytes up to, not including, the byte that ended the value
  Key* next;
  Key* prev;
  uint32_t nameCrc;
  Key* chainNext;
  Key* chainPrev;
};

struct Heading {
  char* name;  // the unnamed heading has the empty text
  Key* firstKey;
  Key* lastKey;
  Key* selectedKey;
  bool keyMissing;  // the last SelectKey under this heading found nothing
  Heading* next;
  Heading* prev;
  uint32_t nameCrc;
  Key* keyChains[kIniChainCount];
  Heading* chainNext;
  Heading* chainPrev;
};

struct IniFile {
  char* path;
  FILE* workingCopy;
  Heading* firstHeading;
  Heading* lastHeading;
  Heading* selectedHeading;
  bool headingMissing;  // the last SelectHeading with a name found nothing
  Heading* headingChains[kIniChainCount];
};

// memory: every allocation of the reader goes through these two.
void* IniAllocate(size_t size);
void IniFree(void* block);

// text
bool IsIniWhiteSpace(unsigned char c);
char* TrimText(char* text);
uint32_t NameCrc(const char* bytes, size_t count);

// files
int SeekTo(FILE* stream, uint32_t position);  // 0 or -1
FILE* CreateWorkingCopy(const char* name);    // exclusively created, open "r+b"
char MarkWorkingCopyName(char* path);         // last character -> '~'; gives the old one
void RestorePath(char* path, char lastChar);

// headings
Heading* FindHeading(IniFile* ini, const char* name);
Heading* AddHeading(IniFile* ini, char* name);  // takes the name; nothing when out of memory
void ReleaseHeadings(IniFile* ini);             // with their keys

// keys
Key* FindKey(Heading* heading, const char* name);
Key* AddKey(IniFile* ini, char* name);  // takes the name only when it gives a key
void ReleaseKeys(Heading* heading);

// parsing
int ParseIni(IniFile* ini, FILE* file);
