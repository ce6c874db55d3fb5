#pragma once
// Points kest011.dll's import address table slot that holds `function` at `replacement`, so
// that a system call fails or races where no real condition makes it; false when there is
// no such slot. Plain C++ on the Win32 headers, for the consumer program too.

#include <windows.h>

namespace kest::test {

inline bool patchImport(void* function, void* replacement) {
  auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleA("kest011.dll"));
  auto const* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  auto const& iat = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
  auto** const first = reinterpret_cast<void**>(base + iat.VirtualAddress);
  DWORD protection;
  for (void** slot = first; slot < first + iat.Size / sizeof *first; ++slot) {
    if (*slot != function || !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
      continue;
    *slot = replacement;
    return VirtualProtect(slot, sizeof *slot, protection, &protection);
  }
  return false;
}

}  // namespace kest::test
