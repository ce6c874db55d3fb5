// Memory blocks, mapped files on real files, and named shared memory with a second process.

#include "kest011/memory.h"

#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

#include "support/checks.h"
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

// A block that cannot be had is reported with the platform's code; sizes near 4 GiB must
// not wrap around in the size computations.
TEST(MemoryBlock, SizeZeroIsRefusedAndTheLargestSizesFailWithACode) {
  for (auto [size, limit] :
       {std::pair(0u, 0u), std::pair(UINT_MAX, UINT_MAX), std::pair(UINT_MAX, 1u)}) {
    SCOPED_TRACE(testing::Message() << size << ", limit " << limit);
    CKestMemory block;
    Report report;
    unsigned char* const address = block.Open(size, limit, &report.code, &report.text);
    if (size == 0) {
      EXPECT_TRUE(report.clear());
    } else if (address) {  // a 64-bit process may have it
      EXPECT_EQ(address[0] | address[size - 1], 0);
    } else {
      EXPECT_TRUE(report.code == ERROR_NOT_ENOUGH_MEMORY || report.code == ERROR_COMMITMENT_LIMIT)
          << report.code;
      EXPECT_EQ(block.Size(), 0u);
    }
  }
}

// One fixture for all three kinds: a folder with a file to map, a block name of the test's
// own, and the out-parameters of the last call.
class Memory : public ::testing::Test {
 protected:
  char* open(CKestMmFile& file, CKestMmFile::eOpenmode mode, std::string const& path) {
    report_ = Report();
    return static_cast<char*>(file.Open(mode, path.c_str(), &report_.code, &report_.text));
  }

  void* create(CKestSharedMemory& block, std::string const& name, unsigned long size = 64) {
    report_ = Report();
    return block.Create(name.c_str(), size, &report_.code, &report_.text);
  }

  TempFolder folder_;
  std::string const digits_ = folder_.write("digits", "0123456789");
  std::string const name_ = "kest-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name();
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
    ASSERT_NE(open(file, mode, digits_), nullptr);
    EXPECT_EQ(canOpen(digits_, access, sharing), opens);
  }
}

TEST_F(MappedFile, EmptyFileIsRefusedWithTheLibrarysTextAndCodeZero) {
  std::string const empty = folder_.write("empty", "");
  CKestMmFile file;
  EXPECT_EQ(open(file, CKestMmFile::eRead, empty), nullptr);
  EXPECT_EQ(report_.code, 0u);
  EXPECT_STREQ(report_.text, "Cannot create filemapping for files with size 0");
  EXPECT_TRUE(nobodyHolds(empty));
}

// Modes outside the enumeration and names that do not fit the object's buffer are refused
// with code 0; the longest name that fits maps.
TEST_F(MappedFile, UnknownModesAndNamesPastTheBufferAreRefused) {
  std::string const base = folder_.path() + "\\";
  std::string const longest = base + std::string(MAX_PATH - 1 - base.size(), 'p');
  folder_.write(longest.substr(base.size()), "x");
  struct {
    int mode;
    std::string path;
    bool maps;
  } const rows[] = {
      {0, digits_, false}, {3, digits_, false},       {-1, digits_, false},
      {2, longest, true},  {1, longest + "p", false}, {1, std::string(100000, 'p'), false},
      {1, "", false}};
  for (auto const& row : rows) {
    SCOPED_TRACE(testing::Message() << row.mode << ", " << row.path.size());
    CKestMmFile file;
    EXPECT_EQ(open(file, CKestMmFile::eOpenmode(row.mode), row.path) != nullptr, row.maps);
    EXPECT_TRUE(report_.clear());
    EXPECT_EQ(file.Size(nullptr), row.maps ? 1u : 0u);
  }
  CKestMmFile file;
  report_ = Report();
  EXPECT_EQ(file.Open(CKestMmFile::eRead, nullptr, &report_.code, &report_.text), nullptr);
  EXPECT_TRUE(report_.clear());
  EXPECT_EQ(open(file, CKestMmFile::eRead, folder_.file("missing")), nullptr);
  EXPECT_EQ(report_.code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));  // passed on
}

TEST_F(SharedMemory, NamesThatAreMissingOrPastTheBufferAreRefusedWithCodeZero) {
  std::string const longest = name_ + std::string(MAX_PATH - 1 - name_.size(), 'n');
  for (std::string const& name :
       {std::string(), longest + "n", std::string(100000, 'n'), longest}) {
    SCOPED_TRACE(name.size());
    bool const fits = name == longest;
    CKestSharedMemory creator, opener;
    EXPECT_EQ(create(creator, name) != nullptr, fits);
    EXPECT_TRUE(report_.clear());
    EXPECT_EQ(opener.Open(name.c_str(), &report_.code, &report_.text) != nullptr, fits);
    EXPECT_EQ(report_.code, 0u);
    EXPECT_EQ(creator.Exist(name.c_str()), fits ? 1 : 0);
  }
  CKestSharedMemory block;
  report_ = Report();
  EXPECT_EQ(block.Create(nullptr, 64, &report_.code, &report_.text), nullptr);
  EXPECT_EQ(block.Open(nullptr, &report_.code, &report_.text), nullptr);
  EXPECT_TRUE(report_.clear());
  EXPECT_EQ(block.Open(name_.c_str(), &report_.code, &report_.text), nullptr);  // none made
  EXPECT_EQ(report_.code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

TEST_F(SharedMemory, TheLargestSizeMapsWholeOrLeavesNothingBehind) {
  CKestSharedMemory block;
  auto* const view = static_cast<unsigned char*>(create(block, name_, ULONG_MAX));
  if (view) {
    EXPECT_EQ(view[0] | view[ULONG_MAX - 1], 0);
  } else {
    EXPECT_TRUE(report_.code == ERROR_NOT_ENOUGH_MEMORY || report_.code == ERROR_COMMITMENT_LIMIT)
        << report_.code;
    EXPECT_EQ(block.Exist(name_.c_str()), 0);
  }
}

// A second Open or Create on an open object is refused with code 0 and keeps what it holds.
TEST_F(Memory, ASecondOpenOfAnOpenObjectIsRefusedAndKeepsItsResource) {
  CKestMemory block;
  unsigned char* const address = block.Open(1 << 20, 1, nullptr, nullptr);
  CKestMmFile file;
  char* const view = open(file, CKestMmFile::eReadWrite, digits_);
  CKestSharedMemory shared;
  ASSERT_TRUE(address && view && create(shared, name_));
  report_ = Report();
  EXPECT_EQ(block.Open(16, 0, &report_.code, &report_.text), nullptr);
  EXPECT_EQ(file.Open(CKestMmFile::eRead, digits_.c_str(), &report_.code, &report_.text), nullptr);
  EXPECT_EQ(shared.Create(uniqueName("other").c_str(), 64, &report_.code, &report_.text), nullptr);
  EXPECT_EQ(shared.Open(name_.c_str(), &report_.code, &report_.text), nullptr);
  EXPECT_TRUE(report_.clear());
  EXPECT_EQ(block.Size(), 1u << 20);
  view[0] = '#';
  file.Close();
  EXPECT_EQ(file.Size(nullptr), 10u);  // the last file's size outlives Close
  EXPECT_EQ(readFile(digits_), "#123456789");
}

// Runs the helper program beside this test on the block `name` and returns its exit code.
intptr_t runPeer(std::string const& name) {
  std::string const program = programFolder() + "memory_peer.exe";
  return _spawnl(_P_WAIT, program.c_str(), "memory_peer", name.c_str(), nullptr);
}

TEST_F(SharedMemory, ASecondProcessSeesTheBlockUntilTheLastHolderCloses) {
  CKestSharedMemory block;
  ASSERT_NE(create(block, name_), nullptr);
  std::memcpy(block, "ping", 4);
  EXPECT_EQ(runPeer(name_), 0);
  EXPECT_EQ(std::memcmp(block, "pong", 4), 0);
  block.Close();
  EXPECT_EQ(runPeer(name_), 1);
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

// While it lives, points kest011.dll's import address table slot for `function` at
// `replacement`; the slot gets its function back however the test ends.
class ImportPatch {
 public:
  ImportPatch(void* function, void* replacement) : function_(function) {
    auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleA("kest011.dll"));
    auto const* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto const& iat = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    auto** const first = reinterpret_cast<void**>(base + iat.VirtualAddress);
    void** const last = first + iat.Size / sizeof *first;
    void** const slot = std::find(first, last, function);
    if (slot != last) {
      slot_ = slot;
      write(replacement);
    }
  }
  ~ImportPatch() {
    if (slot_) write(function_);
  }
  bool applied() const { return slot_ != nullptr; }

 private:
  void write(void* value) {
    DWORD protection;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, protection, &protection);
  }

  void* const function_;
  void** slot_ = nullptr;
};

TEST_F(SharedMemory, BlockMadeByARivalAfterTheNameCheckIsRefusedAndKeepsItsData) {
  auto* const real =
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "OpenFileMappingA"));
  CKestSharedMemory block;
  {
    ImportPatch const rival(real, reinterpret_cast<void*>(rivalCreatesAfterCheck));
    ASSERT_TRUE(rival.applied());
    EXPECT_EQ(create(block, name_), nullptr);
  }
  EXPECT_TRUE(report_.clear());
  EXPECT_EQ(block.Size(), 0u);  // as for any name in use: the object is left as it was
  EXPECT_EQ(std::memcmp(g_rivalView, "rival", 5), 0);  // not zero-filled
  UnmapViewOfFile(g_rivalView);
  CloseHandle(g_rival);
  EXPECT_EQ(block.Exist(name_.c_str()), 0);  // the refused Create kept no handle
}

}  // namespace
