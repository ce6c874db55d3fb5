// Writes a compound file with the library, from a list of elements on standard input, for
// other readers to check. One element a line, fields split by tabs, paths in UTF-8:
//   storage <TAB> /path <TAB> {class id}       ("/" sets the root's class)
//   stream <TAB> /path <TAB> size <TAB> seed   (bytes as testPattern below)
// Parents come before their children. usage: tree_writer FILE < list

#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "kest011/storage.h"

namespace {

std::wstring fromUtf8(std::string const& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                  static_cast<int>(wide.size())));
  return wide;
}

unsigned short const* units(std::wstring const& text) {
  return reinterpret_cast<unsigned short const*>(text.c_str());
}

// The bytes of a test stream; the checking script computes the same.
std::string testPattern(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((seed + i * 131 + (i >> 8)) & 0xFF);
  return bytes;
}

int failed(std::string const& what, long code) {
  std::fprintf(stderr, "tree_writer: %s: 0x%08lX\n", what.c_str(),
               static_cast<unsigned long>(code));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return failed("usage: tree_writer FILE < list", 0);
  CoInitialize(nullptr);
  long code = 0;
  IStorage* root = KestOleCreateStgFile(argv[1], &code, nullptr);
  if (!root) return failed(argv[1], code);
  std::map<std::wstring, IStorage*> storages{{L"", root}};
  std::string line;
  while (std::getline(std::cin, line)) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    if (fields.size() < 3) continue;
    std::wstring const path = fromUtf8(fields[1]);
    size_t const slash = path.rfind(L'/');
    std::wstring const parentPath = path.substr(0, slash), name = path.substr(slash + 1);
    IStorage* parent = storages.at(parentPath);
    if (fields[0] == "storage") {
      IStorage* storage = name.empty()
                              ? parent
                              : KestOleCreateStorage(parent, units(name), nullptr, &code, nullptr);
      if (!storage) return failed(fields[1], code);
      CLSID id;
      if (FAILED(code = CLSIDFromString(fromUtf8(fields[2]).c_str(), &id)) ||
          FAILED(code = storage->SetClass(id)))
        return failed(fields[2], code);
      if (!name.empty()) storages[path] = storage;
    } else {
      IStream* stream = KestOleCreateStream(parent, units(name), nullptr, &code, nullptr);
      if (!stream) return failed(fields[1], code);
      std::string data = testPattern(std::stoul(fields[2]), std::stoul(fields[3]));
      if (!KestOleWriteStream(stream, &data[0], static_cast<long>(data.size()), &code, nullptr))
        return failed(fields[1], code);
      stream->Release();
    }
  }
  // Children before their parents.
  for (auto entry = storages.rbegin(); entry != storages.rend(); ++entry)
    if (!entry->first.empty()) entry->second->Release();
  root->Release();
  CoUninitialize();
  return 0;
}
