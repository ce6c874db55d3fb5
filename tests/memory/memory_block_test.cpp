// Memory blocks from the global heap and the virtual-memory allocator.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "kest011/memory.h"
#include "stand_ins.h"

namespace {

using namespace kest::test;

// A virtual-memory block starts an allocation of its own; a heap block sits behind a header.
bool fromVirtualAllocator(void* block) {
  MEMORY_BASIC_INFORMATION info;
  return VirtualQuery(block, &info, sizeof info) && info.AllocationBase == block &&
         info.State == MEM_COMMIT;
}

bool isReleased(void* block) {
  MEMORY_BASIC_INFORMATION info;
  return VirtualQuery(block, &info, sizeof info) && info.State == MEM_FREE;
}

TEST(MemoryBlock, LimitChoosesTheAllocatorAndBlocksAreZeroFilled) {
  struct {
    unsigned size, limit;
    bool global;
  } const cases[] = {{524288, 0, true}, {524289, 0, false}, {100, 50, false}, {4096, 4096, true}};
  for (auto const& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " bytes, limit " + std::to_string(c.limit));
    HGLOBAL const junk = GlobalAlloc(GMEM_FIXED, c.size);  // leaves dirty memory to reuse
    std::memset(junk, 0xA5, c.size);
    GlobalFree(junk);
    CKestMemory block;
    Report report;
    unsigned char* const address = block.Open(c.size, c.limit, &report.code, &report.text);
    ASSERT_NE(address, nullptr);
    report.expectClear();
    EXPECT_EQ(GlobalHandle(address) != nullptr, c.global);
    EXPECT_EQ(fromVirtualAllocator(address), !c.global);
    EXPECT_TRUE(std::all_of(address, address + c.size, [](unsigned char b) { return b == 0; }));
    EXPECT_EQ(block.Address(), address);
    EXPECT_EQ(block.Size(), c.size);
  }
}

TEST(MemoryBlock, ZeroSizeAndSecondOpenAreRefusedKeepingTheBlock) {
  CKestMemory block;
  Report report;
  EXPECT_EQ(block.Open(0, 0, &report.code, &report.text), nullptr);
  report.expectClear();
  unsigned char* const first = block.Open(64, 0, nullptr, nullptr);
  ASSERT_NE(first, nullptr);
  report = Report();
  EXPECT_EQ(block.Open(128, 0, &report.code, &report.text), nullptr);
  report.expectClear();
  EXPECT_EQ(block.Address(), first);
  EXPECT_EQ(block.Size(), 64u);
}

TEST(MemoryBlock, CopiesShareTheBlockUntilTheLastLetsGo) {
  CKestMemory copy;
  unsigned char* address = nullptr;
  {
    CKestMemory source;
    address = source.Open(8192, 1, nullptr, nullptr);
    ASSERT_NE(address, nullptr);
    CKestMemory second(source);
    copy = second;
    source.Close();
    source.Close();
    EXPECT_EQ(source.Address(), nullptr);
    EXPECT_EQ(source.Size(), 0u);
  }
  ASSERT_TRUE(fromVirtualAllocator(address));
  address[8191] = 7;
  copy = copy;
  EXPECT_EQ(copy.Size(), 8192u);

  CKestMemory other;
  unsigned char* const fresh = other.Open(8192, 1, nullptr, nullptr);
  CKestMemory keeper(copy);
  copy = other;  // keeper still holds the first block
  EXPECT_EQ(copy.Address(), fresh);
  EXPECT_TRUE(fromVirtualAllocator(address));
  keeper = other;  // now nobody does
  EXPECT_TRUE(isReleased(address));
}

HGLOBAL g_freed;
ImportPatch* g_globalFree;

HGLOBAL WINAPI recordingGlobalFree(HGLOBAL memory) {
  g_freed = memory;
  return reinterpret_cast<decltype(&GlobalFree)>(g_globalFree->original())(memory);
}

TEST(MemoryBlock, AllocatorFailuresAreReportedAndLeaveNoBlock) {
  struct {
    char const* function;
    void* standIn;
    unsigned limit;
  } const cases[] = {{"GlobalAlloc", failing(&GlobalAlloc), 0},
                     {"GlobalLock", failing(&GlobalLock), 0},
                     {"VirtualAlloc", failing(&VirtualAlloc), 1}};
  for (auto const& c : cases) {
    SCOPED_TRACE(c.function);
    CKestMemory block;
    Report report;
    {
      ImportPatch patch(c.function, c.standIn);
      ImportPatch recording("GlobalFree", reinterpret_cast<void*>(recordingGlobalFree));
      g_globalFree = &recording;
      g_freed = nullptr;
      EXPECT_EQ(block.Open(4096, c.limit, &report.code, &report.text), nullptr);
      // A handle that was allocated but could not be locked is freed straight away.
      EXPECT_EQ(g_freed != nullptr, std::string(c.function) == "GlobalLock");
    }
    report.expectReported(kInjectedError);
    EXPECT_EQ(block.Address(), nullptr);
    EXPECT_EQ(block.Size(), 0u);
    EXPECT_NE(block.Open(4096, c.limit, nullptr, nullptr), nullptr);
  }
}

}  // namespace
