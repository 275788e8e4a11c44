#include "ignored_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "text_compare.h"

namespace kestrum_check {

namespace {

constexpr char kEndOfText = 26;

// Where the lines of the file start, as an editor counts them: a line ends at LF, at CR
// LF, or at a CR on its own.
class LineMap {
public:
    explicit LineMap(const std::string& text) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            if (text[i] == '\n' || (text[i] == '\r' && !crlf)) {
                starts_.push_back(i + 1);
            }
        }
    }
    int LineOf(std::size_t position) const {
        return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), position) -
                                starts_.begin());
    }

private:
    std::vector<std::size_t> starts_;
};

bool IsBlank(char c) {
    return c == ' ' || (c >= 9 && c <= 13);
}

std::string Trimmed(const std::string& s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

// A value as the "%d" scan of the reader sees it, and what follows the number.
struct ScannedValue {
    bool empty = false;      // nothing but blanks
    bool hasNumber = false;  // at least one digit after blanks and sign
    long long number = 0;    // saturated to the int range, as the reader stores it
    bool fractional = false; // the digits go on after a decimal point
    std::string rest;        // trimmed text after the number
};

ScannedValue ScanValue(const std::string& value) {
    ScannedValue scanned;
    std::size_t i = 0;
    while (i < value.size() && IsBlank(value[i])) ++i;
    scanned.empty = i == value.size();
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    const std::size_t digits = i;
    long long magnitude = 0;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
        magnitude = std::min(magnitude * 10 + (value[i] - '0'), 1LL << 32);
        ++i;
    }
    scanned.hasNumber = i > digits;
    scanned.number = std::clamp(negative ? -magnitude : magnitude,
                                static_cast<long long>(std::numeric_limits<int>::min()),
                                static_cast<long long>(std::numeric_limits<int>::max()));
    scanned.fractional = scanned.hasNumber && i + 1 < value.size() && value[i] == '.' &&
                         value[i + 1] >= '0' && value[i + 1] <= '9';
    scanned.rest = Trimmed(value.substr(std::min(i, value.size())));
    return scanned;
}

std::string Quoted(const std::string& s) {
    return "'" + s + "'";
}

// The file's content between the key's "=" and the byte that ended its value.
std::string ValueText(const std::string& text, const IndexedKey& key) {
    const std::size_t start = std::min(static_cast<std::size_t>(key.valueStart), text.size());
    return text.substr(start, static_cast<std::size_t>(std::max(key.valueLength, 0)));
}

class Finder {
public:
    Finder(const LoadedConfig& config, const std::string& gameDirName, const std::string& text)
        : config_(config), gameDirName_(gameDirName), text_(text), lines_(text) {}

    std::vector<Warning> Run() {
        ScanHeadingLines();
        ScanEndOfText();
        CheckHeadings();
        for (const IndexedHeading& heading : config_.headings) {
            if (heading.name == config_.baseHeading) {
                CheckSwitchKeys(heading);
            } else if (heading.name == config_.primaryHeading) {
                CheckTableKeys(heading, "primary");
            } else if (heading.name == config_.secondaryHeading) {
                CheckTableKeys(heading, "secondary");
            }
        }
        std::stable_sort(warnings_.begin(), warnings_.end(),
                         [](const Warning& a, const Warning& b) { return a.line < b.line; });
        return warnings_;
    }

private:
    void Add(int line, std::string message) { warnings_.push_back({line, std::move(message)}); }
    void AddAt(std::size_t position, std::string message) {
        Add(lines_.LineOf(position), std::move(message));
    }

    // The reader's lines end at LF, FF, CR and byte 26; a heading line has "[" as its
    // very first byte and a "]" before any "=", "#", ";" or a second "[".
    void ScanHeadingLines() {
        std::size_t start = 0;
        while (start < text_.size() && text_[start] != kEndOfText) {
            std::size_t end = text_.find_first_of(std::string("\n\f\r") + kEndOfText, start);
            if (end == std::string::npos) end = text_.size();
            CheckHeadingLine(start, end);
            start = end + 1;
            if (end < text_.size() && text_[end] == kEndOfText) break;
        }
    }

    void CheckHeadingLine(std::size_t start, std::size_t end) {
        std::size_t first = start;
        while (first < end && IsBlank(text_[first])) ++first;
        if (first == end || text_[first] != '[') return;
        if (first != start) {
            AddAt(start, "heading line starts with a blank before '[': it is no heading, and "
                         "the keys below it stay under the heading before it");
            return;
        }
        const std::size_t stop = text_.find_first_of("]=#;[", start + 1);
        if (stop == std::string::npos || stop >= end) {
            AddAt(start, "heading line has no closing ']': it is no heading, and the keys "
                         "below it stay under the heading before it");
            return;
        }
        if (text_[stop] != ']') {
            AddAt(start, std::string("heading line has '") + text_[stop] +
                             "' before its closing ']': it is no heading, and the keys below "
                             "it stay under the heading before it");
            return;
        }
        const std::string raw = text_.substr(start + 1, stop - start - 1);
        const std::string name = Trimmed(raw);
        if (raw.empty()) {
            AddAt(start, "heading line [] names no heading: the keys below it are outside "
                         "any heading");
        } else if (name.empty()) {
            AddAt(start, "heading line " + Quoted(text_.substr(start, stop - start + 1)) +
                             " holds only blanks: the keys below it are not read");
        }
        headingLines_.push_back({name, lines_.LineOf(start)});
        const std::string after = Trimmed(text_.substr(stop + 1, end - stop - 1));
        if (!after.empty() && after[0] != ';' && after[0] != '#') {
            AddAt(start, "text after ']' is ignored: " + Quoted(after));
        }
    }

    void ScanEndOfText() {
        const std::size_t mark = text_.find(kEndOfText);
        if (mark == std::string::npos) return;
        const std::string after = Trimmed(text_.substr(mark + 1));
        if (!after.empty()) {
            AddAt(mark, "byte 26 (end-of-file mark) ends the text here: nothing after it is "
                        "read");
        }
    }

    int HeadingLine(const std::string& name) const {
        for (const auto& [lineName, line] : headingLines_) {
            if (lineName == name) return line;
        }
        return 0;
    }

    void CheckHeadings() {
        if (!config_.baseFound) {
            Add(0, "base heading [" + config_.baseHeading + "] is missing: AmmoIdIsFlag and "
                   "AllWeaponsClipless are off");
        }
        const std::string expected[] = {config_.baseHeading, config_.primaryHeading,
                                        config_.secondaryHeading};
        // A standard directory reads the standard heading, never one named after itself.
        const bool standard = IsStandardGameDir(gameDirName_.c_str());
        const std::string ownNames[] = {gameDirName_, gameDirName_ + kPrimarySuffix,
                                        gameDirName_ + kSecondarySuffix};
        for (const IndexedHeading& heading : config_.headings) {
            if (heading.name.empty()) {
                if (!heading.keys.empty()) {
                    AddAt(static_cast<std::size_t>(heading.keys.front().valueStart),
                          "keys outside any heading are not read: " + KeyNames(heading));
                }
                continue;
            }
            if (std::find(std::begin(expected), std::end(expected), heading.name) !=
                std::end(expected)) {
                continue;
            }
            const int line = HeadingLine(heading.name);
            for (std::size_t i = 0; i < 3; ++i) {
                if (EqualIgnoringCase(heading.name.c_str(), expected[i].c_str())) {
                    Add(line, "heading [" + heading.name + "] differs from [" + expected[i] +
                                  "] only in letter case: it is not read");
                } else if (standard && EqualIgnoringCase(heading.name.c_str(), ownNames[i].c_str())) {
                    Add(line, "heading [" + heading.name + "] is not read: the game directory " +
                                  gameDirName_ + " reads [" + expected[i] + "]");
                }
            }
        }
    }

    static std::string KeyNames(const IndexedHeading& heading) {
        std::string names;
        for (const IndexedKey& key : heading.keys) {
            names += (names.empty() ? "" : ", ") + key.name;
        }
        return names;
    }

    void CheckSwitchKeys(const IndexedHeading& heading) {
        const char* switches[] = {kAmmoIdIsFlagKey, kAllWeaponsCliplessKey};
        for (const IndexedKey& key : heading.keys) {
            const std::size_t at = static_cast<std::size_t>(key.valueStart);
            const auto named = std::find_if(std::begin(switches), std::end(switches),
                                            [&](const char* s) { return key.name == s; });
            if (named != std::end(switches)) {
                CheckSwitchValue(key, at);
                continue;
            }
            const auto cased = std::find_if(std::begin(switches), std::end(switches), [&](const char* s) {
                return EqualIgnoringCase(key.name.c_str(), s);
            });
            if (cased != std::end(switches)) {
                AddAt(at, "key " + key.name + " differs from " + *cased +
                              " only in letter case: it is not read");
            } else {
                AddAt(at, "key " + Quoted(key.name) + " under [" + heading.name +
                              "] is not read (only AmmoIdIsFlag and AllWeaponsClipless are)");
            }
        }
    }

    void CheckSwitchValue(const IndexedKey& key, std::size_t at) {
        const std::string value = ValueText(text_, key);
        const ScannedValue scanned = ScanValue(value);
        if (!scanned.hasNumber) {
            AddAt(at, key.name + " has " + (scanned.empty ? "no value" : "no number " +
                      Quoted(Trimmed(value))) + ": it is off");
        } else if (scanned.fractional) {
            AddAt(at, key.name + "=" + Trimmed(value) + " is not a whole number: it counts as " +
                          std::to_string(scanned.number) + " (" + (scanned.number != 0 ? "on" : "off") + ")");
        }
    }

    // Weapon ids are read as keys "0" to "63", written without sign or leading zeros.
    void CheckTableKeys(const IndexedHeading& heading, const char* kind) {
        for (const IndexedKey& key : heading.keys) {
            const std::size_t at = static_cast<std::size_t>(key.valueStart);
            const std::string& name = key.name;
            const bool allDigits = !name.empty() &&
                std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (!allDigits) {
                AddAt(at, "key " + Quoted(name) + " under [" + heading.name +
                              "] is not a weapon id (0 to 63): it is not read");
                continue;
            }
            const std::size_t nonZero = name.find_first_not_of('0');
            const std::string plain = nonZero == std::string::npos ? "0" : name.substr(nonZero);
            if (plain.size() > 2 || std::stoi(plain) >= kMultiplierSlots) {
                AddAt(at, "key " + name + " under [" + heading.name +
                              "] is not read: weapon ids go from 0 to 63");
            } else if (plain != name) {
                AddAt(at, "key " + name + " under [" + heading.name +
                              "] is not read: weapon ids are written without leading zeros (" +
                              plain + ")");
            } else {
                CheckMultiplier(key, at, kind);
            }
        }
    }

    void CheckMultiplier(const IndexedKey& key, std::size_t at, const char* kind) {
        const std::string value = Trimmed(ValueText(text_, key));
        const ScannedValue scanned = ScanValue(value);
        const std::string what = "weapon " + key.name + ": " + kind + " multiplier ";
        if (scanned.empty) {
            AddAt(at, what + "is empty: no kick");
        } else if (!scanned.hasNumber) {
            AddAt(at, what + Quoted(value) + " is not a number: no kick");
        } else if (scanned.fractional) {
            AddAt(at, what + value + " is not a whole number: it counts as " +
                          std::to_string(scanned.number) + (scanned.number > 0 ? "" : ", no kick"));
        } else if (scanned.number == 0) {
            AddAt(at, what + "0 gives no kick (only values above 0 count)");
        } else if (scanned.number < 0) {
            AddAt(at, what + std::to_string(scanned.number) +
                          " is negative: no kick (only values above 0 count)");
        } else if (!scanned.rest.empty()) {
            AddAt(at, what + Quoted(value) + ": the text after the number is ignored, it counts as " +
                          std::to_string(scanned.number));
        }
    }

    const LoadedConfig& config_;
    const std::string& gameDirName_;
    const std::string& text_;
    LineMap lines_;
    std::vector<std::pair<std::string, int>> headingLines_;
    std::vector<Warning> warnings_;
};

}  // namespace

std::vector<Warning> FindIgnored(const LoadedConfig& config, const std::string& gameDirName,
                                 const std::string& text) {
    return Finder(config, gameDirName, text).Run();
}

}  // namespace kestrum_check
