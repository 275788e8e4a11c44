// What a load makes of INI texts: headings and keys in order, the values they point at,
// sound indexes, and every name found again through the lookups.
#include <string>
#include <vector>

#include "ini_test.h"

namespace {

using Model = std::vector<std::string>;

struct ModelCase {
  const char* what;
  std::string text;
  Model model;
};

const ModelCase kModelCases[] = {
    {"empty file", "", {}},
    {"one heading", "[a]\nx=1\n", {"[a] x=<1>"}},
    {"no line end at the end", "[a]\nx=1", {"[a] x=<1>"}},
    {"keys before any heading go to the unnamed heading", "k=v\n[a]\nx=1",
     {"[] k=<v>", "[a] x=<1>"}},
    {"empty brackets select the unnamed heading", "[]\nk=1\n[a]\nj=2\n[]\nm=3",
     {"[] k=<1> m=<3>", "[a] j=<2>"}},
    {"unnamed heading made late still stands first", "[a]\nj=2\n[]\nk=1",
     {"[] k=<1>", "[a] j=<2>"}},
    {"blanks trimmed from names, kept in values up to the remark", "[ a ]\n x = 1 ;note\n",
     {"[a] x=< 1 >"}},
    {"blanks inside a name stay", "[my heading]\n my key = v\n", {"[my heading] my key=< v>"}},
    {"blank before [ makes no heading", "[a]\n [b]\nx=1\n", {"[a] x=<1>"}},
    {"two = : name before the first, value after it", "[a]\nk=v=w\n", {"[a] k=<v=w>"}},
    {"value may hold brackets", "[a]\nk=[x]=y\n", {"[a] k=<[x]=y>"}},
    {"lines that add nothing", "[a]\nx[=1\ny]=2\n=3\n]z=4\n#k=5\n;k=6\nplain\n", {"[a]"}},
    {"heading lines with junk before ]", "[a=b]\n[c#]\n[d;]\n[e\n[f[g]\nk=1\n", {"[] k=<1>"}},
    {"text after ] ignored", "[a] junk=1 [b]\nk=1\n", {"[a] k=<1>"}},
    {"remarks end values", "[a]\nk=1#c\nj= 2 ;x\nm=;\n", {"[a] k=<1> j=< 2 > m=<>"}},
    {"empty value", "[a]\nk=\n", {"[a] k=<>"}},
    {"repeated heading collects, repeated key keeps place and takes last value",
     "[a]\nx=1\ny=2\n[b]\nz=3\n[a]\nx=4\nw=5\n", {"[a] x=<4> y=<2> w=<5>", "[b] z=<3>"}},
    {"case matters", "[A]\nk=1\n[a]\nK=2\nk=3\n", {"[A] k=<1>", "[a] K=<2> k=<3>"}},
    {"blank-only names keep their first blank", "[\t ]\n\t =1\n[  ]\n =2\n",
     {"[\t] \t=<1>", "[ ]  =<2>"}},
    {"byte 26 ends the text", std::string("[a]\nk=1\x1a\n[b]\nj=2\n"), {"[a] k=<1>"}},
    {"form feed ends a line", "[a]\fk=1\fj=2", {"[a] k=<1> j=<2>"}},
    {"tab and VT are no line ends", "[a]\nk=1\tj=2\vm=3\n", {"[a] k=<1\tj=2\vm=3>"}},
    {"bytes above 127 are ordinary", "[\xe9t\xe9]\n\xff=\x80\n", {"[\xe9t\xe9] \xff=<\x80>"}},
    {"byte 0 ends a name text", std::string("[a]\nk\0z=1\n", 10), {"[a] k=<1>"}},
};

}  // namespace

class ParseTest : public IniTest {};

TEST_F(ParseTest, TextsGiveTheirModels) {
  for (const ModelCase& c : kModelCases) {
    SCOPED_TRACE(c.what);
    IniFile* ini = Load(c.text);
    ASSERT_NE(ini, nullptr);
    EXPECT_EQ(DescribeModel(ini, c.text), c.model);
    EXPECT_EQ(ModelProblems(ini), "");
    ExpectEveryNameFound(ini, c.text);
    EXPECT_EQ(CloseIni(ini), 0);
  }
}

TEST_F(ParseTest, LineEndsGiveTheSameModel) {
  const std::string lines[] = {"k0=top", "[a]", " x = 1 ", "; remark", "", "[b] junk",
                               "y=2=3", "[a]", "z=", "x=4"};
  const Model model = {"[] k0=<top>", "[a] x=<4> z=<>", "[b] y=<2=3>"};
  for (const char* end : {"\n", "\r\n", "\r", "\f", "\n\r\n"}) {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    IniFile* ini = Load(text);
    ASSERT_NE(ini, nullptr);
    EXPECT_EQ(DescribeModel(ini, text), model) << "line end of " << std::string(end).size();
    EXPECT_EQ(ModelProblems(ini), "");
    CloseIni(ini);
  }
}

// Names and values that straddle the 8192-byte blocks the file is read in, and files
// that end exactly at a block's end.
TEST_F(ParseTest, BlockBoundariesChangeNothing) {
  for (size_t offset : {8180u, 8189u, 8190u, 8191u, 8192u, 16383u}) {
    std::string text = "[first]\n;";
    text += std::string(offset - text.size() - 1, 'p') + "\n";  // name starts at offset
    text += "[straddling heading]\nlong key name=  12345  \n";
    text += std::string(8192 - text.size() % 8192, '#');  // the file ends at a block end
    ASSERT_EQ(text.size() % 8192, 0u);
    IniFile* ini = Load(text);
    ASSERT_NE(ini, nullptr);
    EXPECT_EQ(DescribeModel(ini, text),
              (Model{"[first]", "[straddling heading] long key name=<  12345  >"}))
        << "offset " << offset;
    ExpectEveryNameFound(ini, text);
    CloseIni(ini);
  }
}

// Many names share a chain (256 chains): every one stays reachable.
TEST_F(ParseTest, CrowdedChainsKeepEveryName) {
  std::string text;
  for (int h = 0; h < 300; ++h) {
    text += "[h" + std::to_string(h) + "]\n";
    for (int k = 0; k < 300; k += 37) text += "k" + std::to_string(k) + "=" + std::to_string(h * k) + "\n";
  }
  IniFile* ini = Load(text);
  ASSERT_NE(ini, nullptr);
  EXPECT_EQ(ModelProblems(ini), "");
  EXPECT_EQ(DescribeModel(ini, text).size(), 300u);
  ExpectEveryNameFound(ini, text);
  CloseIni(ini);
}
