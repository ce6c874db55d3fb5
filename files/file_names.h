#pragma once
// Path buffers and tests on find records, shared by the sources of the files family.

#include <windows.h>

namespace kest::files {

// Paths are worked on in MAX_PATH bytes: at most 259 characters and the terminator.
using PathBuffer = char[MAX_PATH];

inline bool isDirectory(WIN32_FIND_DATAA const& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace kest::files
