// ReadInt: the selected key's value as a decimal integer, scanned from the working copy.
#include <climits>
#include <cstdio>

#include "ini_model.h"

namespace {

// Scans like the "%d" conversion: white space, one optional sign, decimal digits. The
// magnitude saturates at the int range instead of overflowing.
struct IntScanner {
  enum Stage { kBlanks, kDigits, kStopped };
  Stage stage = kBlanks;
  bool negative = false;
  bool anyDigit = false;
  uint32_t magnitude = 0;  // capped at 2^31

  void Feed(unsigned char c) {
    if (stage == kBlanks) {
      if (IsIniWhiteSpace(c)) return;
      stage = kDigits;
      if (c == '+' || c == '-') {
        negative = (c == '-');
        return;
      }
    }
    if (c < '0' || c > '9') {
      stage = kStopped;
      return;
    }
    anyDigit = true;
    constexpr uint32_t kCap = 2147483648u;
    const uint32_t digit = static_cast<uint32_t>(c - '0');
    magnitude = magnitude > (kCap - digit) / 10 ? kCap : magnitude * 10 + digit;
  }

  int Result() const {
    if (negative) return magnitude >= 2147483648u ? INT_MIN : -static_cast<int>(magnitude);
    return magnitude > static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(magnitude);
  }
};

}  // namespace

int ReadInt(IniFile* ini, int* value) {
  if (ini == nullptr || value == nullptr) return -1;
  Heading* heading = ini->selectedHeading;
  if (heading == nullptr || ini->headingMissing) return -1;
  if (heading->keyMissing) return 0;
  const Key* key = heading->selectedKey;
  if (key == nullptr) return -1;

  uint32_t remaining = static_cast<uint32_t>(key->valueLength);
  if (remaining == 0) return 0;
  if (SeekTo(ini->workingCopy, static_cast<uint32_t>(key->valueStart)) != 0) return 0;

  IntScanner scanner;
  unsigned char chunk[64];
  while (remaining > 0 && scanner.stage != IntScanner::kStopped) {
    const size_t want = remaining < sizeof(chunk) ? remaining : sizeof(chunk);
    const size_t got = std::fread(chunk, 1, want, ini->workingCopy);
    for (size_t i = 0; i < got && scanner.stage != IntScanner::kStopped; ++i) {
      scanner.Feed(chunk[i]);
    }
    if (got < want) break;
    remaining -= static_cast<uint32_t>(got);
  }
  if (scanner.anyDigit) *value = scanner.Result();
  return 0;
}
