// Memory blocks, mapped files on real files, and named shared memory with a second process.

#include "kest011/memory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

#include "support/checks.h"
#include "support/import_patch.h"
#include "support/temp_folder.h"

namespace {

using namespace kest::test;

TEST(MemoryBlock, LimitChoosesTheAllocatorAndBlocksAreZeroFilled) {
  struct {
    unsigned size, limit;
    bool global;
  } const cases[] = {{524288, 0, true}, {524289, 0, false}, {100, 50, false}, {4096, 4096, true}};
  for (auto const& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes, limit " << c.limit);
    HGLOBAL const junk = GlobalAlloc(GMEM_FIXED, c.size);  // leaves dirty memory to reuse
    std::memset(junk, 0xA5, c.size);
    GlobalFree(junk);
    CKestMemory block;
    unsigned char* const address = block.Open(c.size, c.limit, nullptr, nullptr);
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(GlobalHandle(address) != nullptr, c.global);
    MEMORY_BASIC_INFORMATION region = {};  // a virtual-memory block starts an allocation
    VirtualQuery(address, &region, sizeof region);
    EXPECT_EQ(region.AllocationBase == address, !c.global);
    EXPECT_TRUE(std::all_of(address, address + c.size, [](unsigned char b) { return b == 0; }));
  }
}

// One fixture for all three kinds: a file to map, a block name, the last call's out-parameters.
class Memory : public ::testing::Test {
 protected:
  char* open(CKestMmFile& file, CKestMmFile::eOpenmode mode, char const* path) {
    report_ = Report();
    return static_cast<char*>(file.Open(mode, path, &report_.code, &report_.text));
  }

  void* create(CKestSharedMemory& block, char const* name, unsigned long size = 64) {
    report_ = Report();
    return block.Create(name, size, &report_.code, &report_.text);
  }

  TempFolder folder_;
  std::string const digits_ = folder_.write("digits", "0123456789");
  std::string const name_ = uniqueName("block");
  Report report_;
};
using MappedFile = Memory;
using SharedMemory = Memory;

TEST_F(MappedFile, SharingWhileMappedFollowsTheMode) {
  DWORD const both = FILE_SHARE_READ | FILE_SHARE_WRITE;
  std::tuple<CKestMmFile::eOpenmode, DWORD, DWORD, bool> const cases[] = {
      {CKestMmFile::eRead, GENERIC_READ, FILE_SHARE_READ, true},
      {CKestMmFile::eRead, GENERIC_READ, 0, false},
      {CKestMmFile::eRead, GENERIC_WRITE, both, false},
      {CKestMmFile::eReadWrite, GENERIC_READ, both, false}};
  for (auto const& [mode, access, sharing, opens] : cases) {
    SCOPED_TRACE(testing::Message() << mode << " " << access << " " << sharing);
    CKestMmFile file;
    ASSERT_NE(open(file, mode, digits_.c_str()), nullptr);
    EXPECT_EQ(canOpen(digits_, access, sharing), opens);
  }
}

// Unknown modes, names past the buffer and empty files are refused with code 0; the longest maps.
TEST_F(MappedFile, UnknownModesNamesPastTheBufferAndEmptyFilesAreRefused) {
  std::string const base = folder_.path() + "\\";
  std::string const longest = base + std::string(MAX_PATH - 1 - base.size(), 'p');
  folder_.write(longest.substr(base.size()), "x");
  std::string const over = longest + "p", huge(100000, 'p'), empty = folder_.write("empty", "");
  char const* const digits = digits_.c_str();
  char const* const sizeZero = "Cannot create filemapping for files with size 0";
  std::tuple<int, char const*, char const*> const rows[] = {
      {0, digits, nullptr},       {3, digits, nullptr},          {-1, digits, nullptr},         //
      {1, "", nullptr},           {1, nullptr, nullptr},         {1, over.c_str(), nullptr},    //
      {1, huge.c_str(), nullptr}, {2, longest.c_str(), nullptr}, {1, empty.c_str(), sizeZero},  //
  };
  for (auto const& [mode, path, text] : rows) {
    SCOPED_TRACE(testing::Message() << mode << ", " << (path ? strlen(path) : 0));
    bool const maps = path == longest.c_str();
    CKestMmFile file;
    EXPECT_EQ(open(file, CKestMmFile::eOpenmode(mode), path) != nullptr, maps);
    EXPECT_EQ(report_.code, 0u);
    EXPECT_STREQ(report_.text, text);
    EXPECT_EQ(file.Size(nullptr), maps ? 1u : 0u);
  }
  EXPECT_TRUE(nobodyHolds(empty));
}

TEST_F(SharedMemory, NamesThatAreMissingOrPastTheBufferAreRefusedWithCodeZero) {
  std::string const longest = name_ + std::string(MAX_PATH - 1 - name_.size(), 'n');
  std::string const over = longest + "n", huge(100000, 'n');
  for (char const* name :
       {static_cast<char const*>(nullptr), "", over.c_str(), huge.c_str(), longest.c_str()}) {
    SCOPED_TRACE(name ? strlen(name) : 0);
    bool const fits = name == longest.c_str();
    CKestSharedMemory creator, opener;
    EXPECT_EQ(create(creator, name) != nullptr, fits);
    EXPECT_TRUE(report_.clear());
    EXPECT_EQ(opener.Open(name, &report_.code, &report_.text) != nullptr, fits);
    EXPECT_EQ(report_.code, 0u);
    if (opener) std::memcpy(opener, "pong", 4);  // one block: the creator sees it too
    EXPECT_EQ(creator && opener && !std::memcmp(creator, "pong", 4), fits);
    EXPECT_EQ(creator.Exist(name), fits ? 1 : 0);
  }
  CKestSharedMemory block;
  EXPECT_EQ(block.Open(name_.c_str(), &report_.code, &report_.text), nullptr);  // none made
  EXPECT_EQ(report_.code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

// Sizes near 4 GiB must not wrap: a block that cannot be had gives the platform's code, no trace.
TEST_F(Memory, SizeZeroIsRefusedAndTheLargestSizesMapWholeOrFailWithACode) {
  CKestMemory none;
  EXPECT_EQ(none.Open(0, 0, &report_.code, &report_.text), nullptr);
  EXPECT_TRUE(report_.clear());
  for (unsigned limit : {UINT_MAX, 1u, 0u}) {  // 0: a shared block
    SCOPED_TRACE(limit);
    CKestMemory block;
    CKestSharedMemory shared;
    report_ = Report();
    unsigned char* const address =
        limit ? block.Open(UINT_MAX, limit, &report_.code, &report_.text)
              : static_cast<unsigned char*>(create(shared, name_.c_str(), ULONG_MAX));
    if (address) {  // a 64-bit process may have it
      EXPECT_EQ(address[0] | address[UINT_MAX - 1], 0);
    } else {
      EXPECT_TRUE(report_.code == ERROR_NOT_ENOUGH_MEMORY || report_.code == ERROR_COMMITMENT_LIMIT)
          << report_.code;
      EXPECT_TRUE(block.Size() == 0 && !shared.Exist(name_.c_str()));
    }
  }
}

// A second Open or Create on an open object is refused with code 0 and keeps what it holds.
TEST_F(Memory, ASecondOpenOfAnOpenObjectIsRefusedAndKeepsItsResource) {
  CKestMemory block;
  unsigned char* const address = block.Open(1 << 20, 1, nullptr, nullptr);
  CKestMmFile file;
  char* const view = open(file, CKestMmFile::eReadWrite, digits_.c_str());
  CKestSharedMemory shared;
  ASSERT_TRUE(address && view && create(shared, name_.c_str()));
  report_ = Report();
  EXPECT_EQ(file.Open(CKestMmFile::eRead, digits_.c_str(), &report_.code, &report_.text), nullptr);
  EXPECT_EQ(shared.Create(uniqueName("other").c_str(), 64, &report_.code, &report_.text), nullptr);
  EXPECT_EQ(shared.Open(name_.c_str(), &report_.code, &report_.text), nullptr);
  EXPECT_TRUE(report_.clear());
  view[0] = '#';
  file.Close();
  EXPECT_EQ(file.Size(nullptr), 10u);  // the last file's size outlives Close
  EXPECT_EQ(readFile(digits_), "#123456789");
}

// No rival can be scheduled between Create's name check and its CreateFileMappingA, so a
// stand-in for the check's OpenFileMappingA makes the block with data of its own right there.
HANDLE g_rival;
void* g_rivalView;

HANDLE WINAPI rivalCreatesAfterCheck(DWORD, BOOL, LPCSTR name) {
  g_rival = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, name);
  g_rivalView = MapViewOfFile(g_rival, FILE_MAP_WRITE, 0, 0, 0);
  std::memcpy(g_rivalView, "rival", 5);
  SetLastError(ERROR_FILE_NOT_FOUND);
  return nullptr;
}

TEST_F(SharedMemory, BlockMadeByARivalAfterTheNameCheckIsRefusedAndKeepsItsData) {
  auto* const real =
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "OpenFileMappingA"));
  auto* const rival = reinterpret_cast<void*>(rivalCreatesAfterCheck);
  CKestSharedMemory block;
  ASSERT_TRUE(patchImport(real, rival));
  void* const made = create(block, name_.c_str());  // nothing can stop before the patch back
  ASSERT_TRUE(patchImport(rival, real));
  EXPECT_EQ(made, nullptr);
  EXPECT_TRUE(report_.clear());
  EXPECT_EQ(block.Size(), 0u);  // as for any name in use: the object is left as it was
  EXPECT_EQ(std::memcmp(g_rivalView, "rival", 5), 0);  // not zero-filled
  UnmapViewOfFile(g_rivalView);
  CloseHandle(g_rival);
  EXPECT_EQ(block.Exist(name_.c_str()), 0);  // the refused Create kept no handle
}

}  // namespace
