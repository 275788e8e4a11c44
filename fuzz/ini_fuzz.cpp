// Fuzz target for the INI reader: the input is an INI file. Each load is checked against
// the input itself: the working copy holds the text before the first byte 26, every
// heading and key of the model is found by name, every value reads as an independent
// "%d" scan of its bytes gives, names taken from the input are found exactly when the
// model holds them, and closing removes the working copy.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ini_model.h"

namespace {

std::string g_scratchDir;
std::string g_iniPath;
std::string g_copyPath;

void RemoveScratch() {
  unlink(g_copyPath.c_str());
  unlink(g_iniPath.c_str());
  rmdir(g_scratchDir.c_str());
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "ini_fuzz: %s\n", what);
  std::abort();
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ReferenceInt(const std::string& value, int* out) {
  const char* text = value.c_str();
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(text, &end, 10);
  if (end == text) return false;
  *out = parsed > INT_MAX ? INT_MAX : parsed < INT_MIN ? INT_MIN : static_cast<int>(parsed);
  return true;
}

const Heading* ScanHeadings(const IniFile* ini, const std::string& name) {
  for (const Heading* h = ini->firstHeading; h != nullptr; h = h->next) {
    if (name == h->name) return h;
  }
  return nullptr;
}

const Key* ScanKeys(const Heading* heading, const std::string& name) {
  for (const Key* k = heading->firstKey; k != nullptr; k = k->next) {
    if (name == k->name) return k;
  }
  return nullptr;
}

void CheckRead(IniFile* ini, const Key* key, const std::string& text) {
  const size_t start = static_cast<uint32_t>(key->valueStart);
  const size_t length = static_cast<uint32_t>(key->valueLength);
  Require(start + length <= text.size(), "value beyond the text");
  int expected = INT_MIN + 7;
  ReferenceInt(text.substr(start, length), &expected);
  int read = INT_MIN + 7;
  Require(ReadInt(ini, &read) == 0, "ReadInt failed on a selected key");
  Require(read == expected, "ReadInt differs from the reference scan");
}

// Names cut from the input: the model's names appear in it, so some of these hit.
std::vector<std::string> NamesFrom(const uint8_t* data, size_t size) {
  std::vector<std::string> names{"", " "};
  for (size_t i = 0; i < 12 && size > 0; ++i) {
    const size_t start = (i * 131 + data[i % size]) % size;
    const size_t length = data[(i + 1) % size] % 12;
    std::string name(reinterpret_cast<const char*>(data) + start,
                     std::min(length, size - start));
    name = name.c_str();  // a name text ends at its first byte 0
    names.push_back(name);
    std::vector<char> trimmed(name.begin(), name.end());
    trimmed.push_back('\0');
    names.push_back(TrimText(trimmed.data()));
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/ini_fuzz_XXXXXX";
  Require(mkdtemp(pattern.data()) != nullptr, "no scratch folder");
  g_scratchDir = pattern;
  g_iniPath = pattern + "/fuzz.ini";
  g_copyPath = pattern + "/fuzz.in~";
  std::atexit(RemoveScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(g_iniPath, std::ios::binary | std::ios::trunc);
    out.write(input.data(), static_cast<std::streamsize>(input.size()));
  }
  const std::string text = input.substr(0, input.find('\x1a'));

  IniFile* ini = OpenIni(g_iniPath.c_str());
  if (ini == nullptr) {
    // Only a key whose name text is empty (it starts with byte 0) fails a load here.
    Require(text.find('\0') != std::string::npos, "load failed without a reason");
    Require(!Exists(g_copyPath), "failed load left its working copy");
    return 0;
  }
  Require(ReadAll(g_copyPath) == text, "working copy differs from the text");

  for (const Heading* h = ini->firstHeading; h != nullptr; h = h->next) {
    Require(SelectHeading(ini, h->name) == 0, "heading of the model not found");
    for (const Key* k = h->firstKey; k != nullptr; k = k->next) {
      Require(SelectKey(ini, k->name) == 0, "key of the model not found");
      CheckRead(ini, k, text);
    }
  }

  for (const std::string& name : NamesFrom(data, size)) {
    const Heading* heading = ScanHeadings(ini, name);
    Require((SelectHeading(ini, name.c_str()) == 0) == (heading != nullptr),
            "heading lookup disagrees with the model");
    if (heading == nullptr) {
      Require(SelectKey(ini, name.c_str()) == -1, "key found after a failed heading lookup");
      int untouched = 5;
      Require(ReadInt(ini, &untouched) == -1 && untouched == 5, "read after a failed lookup");
      continue;
    }
    for (const std::string& keyName : NamesFrom(data, size)) {
      const Key* key = ScanKeys(heading, keyName);
      Require((SelectKey(ini, keyName.c_str()) == 0) == (key != nullptr),
              "key lookup disagrees with the model");
      if (key != nullptr) {
        CheckRead(ini, key, text);
      } else {
        int untouched = 5;
        Require(ReadInt(ini, &untouched) == 0 && untouched == 5, "read after a missing key");
      }
    }
  }

  Require(CloseIni(ini) == 0, "CloseIni failed");
  Require(!Exists(g_copyPath), "working copy left after CloseIni");
  return 0;
}
