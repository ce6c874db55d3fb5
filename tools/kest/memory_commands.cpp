// kest subcommands and tour section of the memory family.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/number_text.h"
#include "kest/command.h"
#include "kest011/memory.h"

namespace kest::cli {
namespace {

using helpers::hexBytes;

int mapView(Call& call) {
  Args const& args = call.operands();
  long count = 16;
  if (args.empty() || args.size() > 2 || (args.size() == 2 && !parseLong(args[1], count)) ||
      count < 0)
    return call.usage();
  CKestMmFile file;
  SystemError error;
  auto* const view = static_cast<unsigned char*>(
      file.Open(CKestMmFile::eRead, args[0].c_str(), &error.code, &error.text));
  if (!view) return call.fail(args[0], error);
  unsigned long high = 0;
  unsigned long const low = file.Size(&high);
  ULONGLONG const size = (ULONGLONG(high) << 32) | low;
  unsigned long const shown = static_cast<unsigned long>(std::min<ULONGLONG>(size, count));
  std::printf("%llu bytes\n%s\n", size, hexBytes(view, shown).c_str());
  return kExitOk;
}

void tourMemoryBlocks(Tour& tour) {
  unsigned long code = 0;
  char* text = nullptr;
  CKestMemory small;
  unsigned char* const address = small.Open(100, 0, &code, &text);
  tour.show("CKestMemory::Open(100, limit 0) -> %s, Size %u, first bytes %s",
            address ? "a block" : "null", small.Size(),
            address ? hexBytes(address, 4).c_str() : "-");
  CKestMemory large;
  large.Open(0x80001, 0, &code, &text);
  MEMORY_BASIC_INFORMATION info = {};
  VirtualQuery(large.Address(), &info, sizeof info);
  tour.show("CKestMemory::Open(0x80001, limit 0) -> Size %u, %s", large.Size(),
            info.AllocationBase == large.Address() ? "a virtual-memory allocation of its own"
                                                   : "from the heap");
  unsigned char* const again = small.Open(10, 0, &code, &text);
  tour.show("CKestMemory::Open again while holding a block -> %s, code %lu",
            again ? "a block" : "null", code);
  CKestMemory copy(small);
  small.Close();
  tour.show("a copy after its source's Close -> Address %s, Size %u",
            copy.Address() == address ? "the same block" : "another", copy.Size());
}

void tourMappedFile(Tour& tour) {
  std::string const name = tour.path("mapped.txt");
  HANDLE const handle =
      CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(handle, "mapped file", 11, &written, nullptr);
  CloseHandle(handle);

  unsigned long code = 0;
  char* text = nullptr;
  CKestMmFile file;
  auto* const view =
      static_cast<char*>(file.Open(CKestMmFile::eReadWrite, name.c_str(), &code, &text));
  tour.show("CKestMmFile::Open(eReadWrite, mapped.txt) -> %s, Size %lu", view ? "a view" : "null",
            file.Size(nullptr));
  if (view) {
    std::memcpy(view, "MAPPED", 6);
    tour.show("wrote \"MAPPED\" through the view: \"%.11s\"", view);
  }
  file.Close();

  std::string const empty = tour.path("empty.txt");
  CloseHandle(CreateFileA(empty.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  void* const none = file.Open(CKestMmFile::eRead, empty.c_str(), &code, &text);
  tour.show("CKestMmFile::Open(eRead, empty.txt) -> %s, code %lu: %s", none ? "a view" : "null",
            code, errorText(text).c_str());
  void* const missing =
      file.Open(CKestMmFile::eRead, tour.path("missing.txt").c_str(), &code, &text);
  tour.show("CKestMmFile::Open(eRead, missing.txt) -> %s, code %lu: %s",
            missing ? "a view" : "null", code, errorText(text).c_str());
}

void tourSharedMemory(Tour& tour) {
  std::string const name = "kest-tour-" + std::to_string(GetCurrentProcessId());
  unsigned long code = 0;
  char* text = nullptr;
  CKestSharedMemory creator;
  auto* const block = static_cast<char*>(creator.Create(name.c_str(), 4096, &code, &text));
  tour.show("CKestSharedMemory::Create(%s, 4096) -> %s, Size %lu", name.c_str(),
            block ? "a block" : "null", creator.Size());
  if (!block) return;
  std::strcpy(block, "shared hello");

  CKestSharedMemory opener;
  auto* const seen = static_cast<char*>(opener.Open(name.c_str(), &code, &text));
  tour.show("CKestSharedMemory::Open(%s) in a second object -> \"%s\", Size %lu", name.c_str(),
            seen ? seen : "(null)", opener.Size());
  CKestSharedMemory third;
  void* const twice = third.Create(name.c_str(), 16, &code, &text);
  tour.show("CKestSharedMemory::Create of the same name -> %s, code %lu",
            twice ? "a block" : "null", code);
  creator.Close();
  tour.show("after the creator's Close: Exist -> %d", third.Exist(name.c_str()));
  opener.Close();
  tour.show("after the last holder's Close: Exist -> %d", third.Exist(name.c_str()));
}

void tourMemory(Tour& tour) {
  tourMemoryBlocks(tour);
  tourMappedFile(tour);
  tourSharedMemory(tour);
}

RegisterCommand const registerMapView({"mapview", "map a file and print its first bytes in hex",
                                       "FILE [COUNT]\n"
                                       "Maps FILE read-only and prints its size and its first "
                                       "COUNT bytes (16 by default).",
                                       mapView});
RegisterTourSection const registerTour({500, "Memory blocks, mapped files, shared memory",
                                        tourMemory});

}  // namespace
}  // namespace kest::cli
