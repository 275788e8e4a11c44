#include "ini_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

ScratchDir::ScratchDir() {
  std::string pattern = testing::TempDir() + "ini_test_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  // Tests take write permission away from folders; give it back so all can be removed.
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

int OpenDescriptorCount() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(dir);
  return count - 1;  // the descriptor of the listing itself
}

std::string WorkingCopyName(const std::string& iniPath) {
  std::string name = iniPath;
  name.back() = '~';
  return name;
}

std::vector<std::string> DescribeModel(const IniFile* ini, const std::string& text) {
  std::vector<std::string> lines;
  for (const Heading* h = ini->firstHeading; h != nullptr; h = h->next) {
    std::string line = "[" + std::string(h->name) + "]";
    for (const Key* k = h->firstKey; k != nullptr; k = k->next) {
      const size_t start = static_cast<uint32_t>(k->valueStart);
      const size_t length = static_cast<uint32_t>(k->valueLength);
      std::string value = start + length <= text.size() ? text.substr(start, length)
                                                         : std::string("?out of range?");
      line += " " + std::string(k->name) + "=<" + value + ">";
    }
    lines.push_back(line);
  }
  return lines;
}

namespace {

// Checks one doubly linked list and one index of entries of type T.
template <typename T, typename Next, typename Prev, typename ChainNext, typename ChainPrev>
void CheckEntries(const char* what, T* first, T* last, T* const* chains, Next next, Prev prev,
                  ChainNext chainNext, ChainPrev chainPrev, std::ostringstream& problems) {
  std::set<std::string> names;
  size_t listed = 0;
  T* before = nullptr;
  for (T* e = first; e != nullptr; e = next(e)) {
    ++listed;
    if (prev(e) != before) problems << what << " " << e->name << ": wrong previous link\n";
    if (e->nameCrc != NameCrc(e->name, std::strlen(e->name)))
      problems << what << " " << e->name << ": stored CRC differs\n";
    if (!names.insert(e->name).second) problems << what << " " << e->name << ": name twice\n";
    bool inChain = false;
    for (T* c = chains[e->nameCrc & 255u]; c != nullptr; c = chainNext(c)) inChain |= (c == e);
    if (!inChain) problems << what << " " << e->name << ": not in its chain\n";
    before = e;
  }
  if (before != last) problems << what << ": last link wrong\n";
  size_t chained = 0;
  for (int i = 0; i < kIniChainCount; ++i) {
    T* previous = nullptr;
    for (T* c = chains[i]; c != nullptr; c = chainNext(c)) {
      ++chained;
      if (chainPrev(c) != previous) problems << what << " " << c->name << ": chain link\n";
      if ((c->nameCrc & 255u) != static_cast<uint32_t>(i))
        problems << what << " " << c->name << ": wrong chain\n";
      previous = c;
    }
  }
  if (chained != listed) problems << what << ": " << chained << " chained, " << listed << " listed\n";
}

}  // namespace

std::string ModelProblems(const IniFile* ini) {
  std::ostringstream problems;
  CheckEntries(
      "heading", ini->firstHeading, ini->lastHeading, ini->headingChains,
      [](const Heading* h) { return h->next; }, [](const Heading* h) { return h->prev; },
      [](const Heading* h) { return h->chainNext; }, [](const Heading* h) { return h->chainPrev; },
      problems);
  for (const Heading* h = ini->firstHeading; h != nullptr; h = h->next) {
    if (h->name[0] == '\0' && h != ini->firstHeading) problems << "unnamed heading not first\n";
    CheckEntries(
        "key", h->firstKey, h->lastKey, h->keyChains, [](const Key* k) { return k->next; },
        [](const Key* k) { return k->prev; }, [](const Key* k) { return k->chainNext; },
        [](const Key* k) { return k->chainPrev; }, problems);
    for (const Key* k = h->firstKey; k != nullptr; k = k->next) {
      if (k->name[0] == '\0') problems << "key with empty name\n";
    }
  }
  return problems.str();
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
