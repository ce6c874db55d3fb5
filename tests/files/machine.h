#pragma once
// What the files tests stand on: drive letters mapped by prefix-setup.sh, the current
// directory and the TMP and TEMP variables (the last two restored exactly afterwards).

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace kest::test {

// A removable (floppy) drive and a second fixed drive, each on a folder of its own.
inline constexpr char kRemovableDrive[] = "A:";
inline constexpr char kSecondFixedDrive[] = "K:";

inline bool exists(std::string const& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Works in `folder` until the end of the scope.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(std::string const& folder) {
    GetCurrentDirectoryA(sizeof saved_, saved_);
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentDirectory() { SetCurrentDirectoryA(saved_); }

 private:
  char saved_[MAX_PATH] = {};
};

using Variable = std::optional<std::string>;

// Through the runtime, whose copy of the environment getenv reads; nullopt removes.
inline Variable readVariable(char const* name) {
  char const* value = std::getenv(name);
  return value ? Variable(value) : std::nullopt;
}
inline void setVariable(char const* name, Variable const& value) {
  _putenv((std::string(name) + "=" + value.value_or("")).c_str());
}

// Puts TMP and TEMP back as they were.
struct SavedTempVariables {
  ~SavedTempVariables() {
    setVariable("TMP", tmp);
    setVariable("TEMP", temp);
  }
  Variable const tmp = readVariable("TMP");
  Variable const temp = readVariable("TEMP");
};

}  // namespace kest::test
