#pragma once
// Tests on names and find records shared by the sources of the files family.

#include <windows.h>

namespace kest::files {

// A name that is null or empty is refused before any system call.
inline bool isMissing(char const* name) { return name == nullptr || *name == '\0'; }

inline bool isDirectory(WIN32_FIND_DATAA const& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace kest::files
