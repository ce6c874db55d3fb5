#include "support/temp_folder.h"

#include <windows.h>

#include <stdexcept>

#include "common/temp_folders.h"

namespace kest::test {

TempFolder::TempFolder() {
  if (unsigned long const error = helpers::makeTempFolder("kest-test", path_))
    throw std::runtime_error("cannot make " + path_ + " (code " + std::to_string(error) + ")");
}

TempFolder::~TempFolder() { helpers::removeTree(path_); }

std::string TempFolder::write(std::string const& name, std::string const& contents) const {
  std::string const path = file(name);
  HANDLE const handle =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
  DWORD written = 0;
  WriteFile(handle, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
  CloseHandle(handle);
  return path;
}

std::string readFile(std::string const& path) {
  HANDLE const handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  std::string contents;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(handle, chunk, sizeof chunk, &got, nullptr) && got > 0)
    contents.append(chunk, got);
  CloseHandle(handle);
  return contents;
}

std::string programFolder() {
  char path[MAX_PATH];
  DWORD const length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace kest::test
