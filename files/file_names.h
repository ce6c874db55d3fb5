#pragma once
// Tests on find records shared by the sources of the files family.

#include <windows.h>

namespace kest::files {

inline bool isDirectory(WIN32_FIND_DATAA const& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace kest::files
