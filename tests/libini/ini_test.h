// Fixture shared by the INI reader's suites: loads texts from a scratch folder and checks
// that every load leaves no memory behind.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "failing_allocator.h"
#include "ini_support.h"

class IniTest : public testing::Test {
 protected:
  void SetUp() override { g_allocations = AllocationCounters{}; }
  void TearDown() override { EXPECT_EQ(g_allocations.live, 0) << "blocks left allocated"; }

  // Writes the text as "test.ini" in the scratch folder and loads it.
  IniFile* Load(const std::string& text) {
    WriteFile(iniPath, text);
    return OpenIni(iniPath.c_str());
  }

  // Every heading and key of the model is found through the lookups, and each value
  // reads as an independent "%d" scan of its text gives.
  void ExpectEveryNameFound(IniFile* ini, const std::string& text) {
    for (const Heading* h = ini->firstHeading; h != nullptr; h = h->next) {
      ASSERT_EQ(SelectHeading(ini, h->name), 0) << "heading [" << h->name << "]";
      for (const Key* k = h->firstKey; k != nullptr; k = k->next) {
        ASSERT_EQ(SelectKey(ini, k->name), 0) << "key " << k->name;
        const std::string value = text.substr(static_cast<uint32_t>(k->valueStart),
                                              static_cast<uint32_t>(k->valueLength));
        int expected = -424242;
        ReferenceInt(value, &expected);
        int read = -424242;
        EXPECT_EQ(ReadInt(ini, &read), 0);
        EXPECT_EQ(read, expected) << "value <" << value << ">";
      }
    }
  }

  ScratchDir dir;
  std::string iniPath = dir.File("test.ini");
};
