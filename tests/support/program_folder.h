#pragma once
// The build's bin folder, beside the library and the helper programs that tests start.

#include <windows.h>

#include <string>

namespace kest::test {

// With a closing backslash.
inline std::string programFolder() {
  char path[MAX_PATH];
  DWORD const length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace kest::test
