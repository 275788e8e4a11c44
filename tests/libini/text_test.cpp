// Trimming of names and the CRC that chooses their index chain.
#include <gtest/gtest.h>

#include <string>

#include "ini_model.h"

TEST(TrimText, TrimsEndThenStartAndKeepsOneCharacterOfBlankOnlyText) {
  struct Case {
    std::string in, out;
  } const cases[] = {
      {"", ""},
      {"name", "name"},
      {"  name  ", "name"},
      {"\t\v\f\r\n name \n\r\f\v\t", "name"},
      {"two words", "two words"},
      {" ", " "},
      {"   ", " "},
      {"\t  ", "\t"},
      {"\v \t", "\v"},
      {"\xa0x\xa0", "\xa0x\xa0"},  // bytes above 127 are not white space
  };
  for (const Case& c : cases) {
    std::string buffer = c.in;
    buffer.push_back('\0');
    char* text = buffer.data();
    EXPECT_EQ(TrimText(text), text);
    EXPECT_EQ(std::string(text), c.out) << "input <" << c.in << ">";
  }
}

TEST(NameCrc, IsNonReflectedCrc32WithoutInversion) {
  // Standard check input; the value is the catalogued CRC-32/POSIX check value
  // 0x765E7680 without its final inversion.
  EXPECT_EQ(NameCrc("123456789", 9), 0x89A1897Fu);
  EXPECT_EQ(NameCrc("", 0), 0u);
  EXPECT_EQ(NameCrc("\x01", 1), 0x04C11DB7u);
  // Only the given count of bytes takes part.
  EXPECT_EQ(NameCrc("123456789xyz", 9), NameCrc("123456789", 9));
  EXPECT_NE(NameCrc("Recoil", 6), NameCrc("recoil", 6));
}
