// Helpers for the INI reader's tests: scratch folders and files, and a readable
// description of a loaded model checked against its indexes.
#pragma once

#include <string>
#include <vector>

#include "ini_model.h"

// A fresh folder under the test temporary folder, removed with its contents at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // throws when it cannot be read
bool EntryExists(const std::string& path);       // lstat: links count, dangling or not
int OpenDescriptorCount();

// The working copy's name for an INI path.
std::string WorkingCopyName(const std::string& iniPath);

// One line per heading in list order: "[name]" and " key=<value>" for each key in list
// order, the value taken from `text` by the key's start and length.
std::vector<std::string> DescribeModel(const IniFile* ini, const std::string& text);

// Problems with the links, CRCs, chains and uniqueness of the model; empty when sound.
std::string ModelProblems(const IniFile* ini);

// "%d" read of a value text by an independent route (strtoll); false when no digits.
bool ReferenceInt(const std::string& value, int* out);
