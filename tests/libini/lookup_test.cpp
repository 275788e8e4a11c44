// Selecting headings and keys, the state the selections keep, and integer reads.
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "ini_test.h"

namespace {

constexpr int kUntouched = -999;

enum class Op { kHeading, kKey, kRead };

struct Step {
  Op op;
  const char* name;  // for kHeading and kKey; may be null
  int result;
  int value = kUntouched;  // for kRead: the variable afterwards (it starts as kUntouched)
};

void RunSteps(IniFile* ini, const std::vector<Step>& steps) {
  int number = 0;
  for (const Step& s : steps) {
    ++number;
    SCOPED_TRACE("step " + std::to_string(number));
    switch (s.op) {
      case Op::kHeading:
        EXPECT_EQ(SelectHeading(ini, s.name), s.result);
        break;
      case Op::kKey:
        EXPECT_EQ(SelectKey(ini, s.name), s.result);
        break;
      case Op::kRead: {
        int value = kUntouched;
        EXPECT_EQ(ReadInt(ini, &value), s.result);
        EXPECT_EQ(value, s.value);
        break;
      }
    }
  }
}

}  // namespace

class LookupTest : public IniTest {};

TEST_F(LookupTest, SelectionsFollowTheirRules) {
  IniFile* ini = Load("top=7\n[a]\nx=1\ny=2\n[b]\nz=3\ne=\nn=none\n");
  ASSERT_NE(ini, nullptr);
  RunSteps(ini, {
                    // The load leaves its last heading and key selected.
                    {Op::kKey, "z", 0},
                    {Op::kRead, nullptr, 0, 3},
                    {Op::kHeading, "a", 0},
                    {Op::kKey, "x", 0},
                    {Op::kRead, nullptr, 0, 1},
                    // A key of another heading is not found; reads then find nothing.
                    {Op::kKey, "z", -1},
                    {Op::kRead, nullptr, 0},
                    {Op::kKey, "y", 0},
                    {Op::kRead, nullptr, 0, 2},
                    // A missing key name leaves the selection as it was.
                    {Op::kKey, nullptr, -1},
                    {Op::kRead, nullptr, 0, 2},
                    // A heading not found (case matters) blocks key lookups and reads...
                    {Op::kHeading, "A", -1},
                    {Op::kKey, "x", -1},
                    {Op::kRead, nullptr, -1},
                    // ...a missing heading name does not lift that...
                    {Op::kHeading, nullptr, -1},
                    {Op::kKey, "x", -1},
                    // ...a found heading does.
                    {Op::kHeading, "b", 0},
                    {Op::kKey, "z", 0},
                    {Op::kRead, nullptr, 0, 3},
                    // A missing heading name after a success changes nothing.
                    {Op::kHeading, nullptr, -1},
                    {Op::kKey, "n", 0},
                    {Op::kRead, nullptr, 0},  // non-numeric value
                    {Op::kKey, "e", 0},
                    {Op::kRead, nullptr, 0},  // empty value
                    {Op::kKey, "", -1},
                    {Op::kHeading, "", 0},
                    {Op::kKey, "top", 0},
                    {Op::kRead, nullptr, 0, 7},
                });
  CloseIni(ini);
}

TEST_F(LookupTest, NothingSelectedGivesFailure) {
  IniFile* ini = Load("");
  ASSERT_NE(ini, nullptr);
  RunSteps(ini, {{Op::kKey, "x", -1}, {Op::kRead, nullptr, -1}, {Op::kHeading, "", -1}});
  CloseIni(ini);

  ini = Load("[a]\n[b]\nk=1\n");
  ASSERT_NE(ini, nullptr);
  RunSteps(ini, {{Op::kHeading, "a", 0}, {Op::kRead, nullptr, -1}, {Op::kKey, "k", -1}});
  int value = kUntouched;
  EXPECT_EQ(ReadInt(ini, nullptr), -1);
  EXPECT_EQ(SelectHeading(nullptr, "a"), -1);
  EXPECT_EQ(SelectKey(nullptr, "k"), -1);
  EXPECT_EQ(ReadInt(nullptr, &value), -1);
  EXPECT_EQ(CloseIni(nullptr), 0);
  CloseIni(ini);
}

TEST_F(LookupTest, ReadIntScansLikePercentD) {
  struct Case {
    std::string value;
    std::optional<int> read;  // nothing: the variable stays as it was
  } const cases[] = {
      {"42", 42},
      {"  -17", -17},
      {"+5", 5},
      {"\t\v 7 apples", 7},
      {"12abc", 12},
      {"007", 7},
      {"0x1A", 0},
      {"1 2", 1},
      {"-0", 0},
      {"=3", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"abc", std::nullopt},
      {"-", std::nullopt},
      {"+ 5", std::nullopt},
      {"--5", std::nullopt},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", INT_MAX},
      {"-2147483649", INT_MIN},
      {"99999999999999999999999", INT_MAX},
      {"-99999999999999999999999", INT_MIN},
      {std::string(100, ' ') + "123", 123},    // blanks beyond one read chunk
      {std::string(62, ' ') + "4567x", 4567},  // digits across chunks
  };
  for (const Case& c : cases) {
    IniFile* ini = Load("[a]\nk=" + c.value + "\n");
    ASSERT_NE(ini, nullptr);
    ASSERT_EQ(SelectHeading(ini, "a"), 0);
    ASSERT_EQ(SelectKey(ini, "k"), 0);
    int value = kUntouched;
    EXPECT_EQ(ReadInt(ini, &value), 0);
    EXPECT_EQ(value, c.read.value_or(kUntouched)) << "value <" << c.value << ">";
    CloseIni(ini);
  }
}

// The scan stops at the value's end even where the bytes after it would continue it.
TEST_F(LookupTest, ReadIntStopsAtTheValueEnd) {
  IniFile* ini = Load("[a]\nblank= \n5\nsign=-;9\nten=1\n0\ndigits=12#34\n");
  ASSERT_NE(ini, nullptr);
  ASSERT_EQ(SelectHeading(ini, "a"), 0);
  struct Case {
    const char* key;
    int value;
  } const cases[] = {{"blank", kUntouched}, {"sign", kUntouched}, {"ten", 1}, {"digits", 12}};
  for (const Case& c : cases) {
    ASSERT_EQ(SelectKey(ini, c.key), 0);
    int value = kUntouched;
    EXPECT_EQ(ReadInt(ini, &value), 0);
    EXPECT_EQ(value, c.value) << c.key;
  }
  CloseIni(ini);
}
