#include "support/temp_folder.h"

#include <windows.h>

#include <fstream>
#include <iterator>
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
  if (!(std::ofstream(path, std::ios::binary) << contents))
    throw std::runtime_error("cannot write " + path);
  return path;
}

// The C runtime opens files shared for reading and writing, as another holder may keep them.
std::string readFile(std::string const& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string programFolder() {
  char path[MAX_PATH];
  DWORD const length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace kest::test
