// INI reader: loads an INI file once into an index of headings and keys and reads
// values from a byte-exact working copy kept beside the file ("name.in~").
#pragma once

struct IniFile;

// Loads the file at path; nothing when it cannot be loaded. path must be non-empty and
// must not end in '~'.
IniFile* OpenIni(const char* path);

// 0 when found and now selected, -1 otherwise. A null name gives -1.
int SelectHeading(IniFile* ini, const char* name);
int SelectKey(IniFile* ini, const char* name);

// Reads the selected key's value as a decimal integer ("%d" rules, saturated to the
// int range). 0 when a key is selected (value set only when digits were found),
// -1 when no heading or key is selected, or value is null. After a SelectHeading that
// found nothing, no heading counts as selected until one is found; after a SelectKey
// that found nothing, the read gives 0 and leaves value as it was until a key is found.
// Without a SelectKey since the heading was selected, the heading's last selected key
// is read (after the load: the last key added under it).
int ReadInt(IniFile* ini, int* value);

// Closes and deletes the working copy and releases the model. Always 0.
int CloseIni(IniFile* ini);
