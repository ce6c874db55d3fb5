#include "stand_ins.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "support/system_text.h"

namespace kest::test {
namespace {

template <class T>
T* at(HMODULE module, DWORD offset) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

// The import address table slot through which `module` calls `function`.
void** importSlot(HMODULE module, char const* function) {
  auto const* nt =
      at<IMAGE_NT_HEADERS>(module, reinterpret_cast<IMAGE_DOS_HEADER*>(module)->e_lfanew);
  DWORD const imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto* dll = at<IMAGE_IMPORT_DESCRIPTOR>(module, imports); dll->Name; ++dll) {
    auto* names = at<IMAGE_THUNK_DATA>(module, dll->OriginalFirstThunk);
    auto* slots = at<IMAGE_THUNK_DATA>(module, dll->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto const* byName = at<IMAGE_IMPORT_BY_NAME>(module, DWORD(names->u1.AddressOfData));
      if (std::strcmp(reinterpret_cast<char const*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  throw std::runtime_error(std::string("kest011.dll does not import ") + function);
}

void writeSlot(void** slot, void* value) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

ImportPatch::ImportPatch(char const* function, void* replacement)
    : slot_(importSlot(GetModuleHandleA("kest011.dll"), function)), original_(*slot_) {
  writeSlot(slot_, replacement);
}

ImportPatch::~ImportPatch() { writeSlot(slot_, original_); }

void Report::expectClear() const {
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(text, nullptr);
}

void Report::expectReported(DWORD expected) const {
  EXPECT_EQ(code, expected);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), systemText(expected));
}

}  // namespace kest::test
