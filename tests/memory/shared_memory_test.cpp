// Named shared memory, within this process and with a second one.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "kest011/memory.h"
#include "stand_ins.h"

namespace {

using namespace kest::test;

// Shows the members that have no accessor.
struct SharedProbe : CKestSharedMemory {
  using CKestSharedMemory::m_nState;
  using CKestSharedMemory::m_szName;
  unsigned char* data() { return *this; }
};

// Runs the helper program beside this test with `arguments` and returns its exit code.
DWORD runPeer(std::string const& arguments) {
  char self[MAX_PATH];
  std::string command(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
  command = "\"" + command.erase(command.find_last_of('\\') + 1) + "memory_peer.exe\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return 100;
  DWORD exitCode = 101;
  WaitForSingleObject(process.hProcess, 60000);
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

class SharedMemory : public ::testing::Test {
 protected:
  void* create(CKestSharedMemory& block, std::string const& name, unsigned long size) {
    report_ = Report();
    return block.Create(name.c_str(), size, &report_.code, &report_.text);
  }

  void* open(CKestSharedMemory& block, std::string const& name) {
    report_ = Report();
    return block.Open(name.c_str(), &report_.code, &report_.text);
  }

  static std::string uniqueName() {
    static unsigned counter;
    return "kest-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
  }

  std::string const name_ = uniqueName();
  Report report_;
};

TEST_F(SharedMemory, CreatorAndOpenerShareZeroFilledBytesUntilTheLastCloses) {
  SharedProbe creator, opener;
  auto* const made = static_cast<unsigned char*>(create(creator, name_, 10000));
  ASSERT_NE(made, nullptr);
  report_.expectClear();
  EXPECT_TRUE(std::all_of(made, made + 10000, [](unsigned char b) { return b == 0; }));
  made[9999] = 42;
  ASSERT_NE(open(opener, name_), nullptr);
  report_.expectClear();
  EXPECT_EQ(opener.data()[9999], 42);
  EXPECT_EQ(creator.Size(), 10000u);
  EXPECT_EQ(opener.Size(), 0u);
  EXPECT_EQ(creator.m_nState, 2);
  EXPECT_EQ(opener.m_nState, 1);
  EXPECT_STREQ(opener.m_szName, name_.c_str());

  EXPECT_EQ(opener.Exist(name_.c_str()), 1);
  EXPECT_EQ(opener.m_nState, 1);  // Exist leaves its object alone
  creator.Close();
  EXPECT_EQ(creator.Exist(name_.c_str()), 1);
  EXPECT_EQ(creator.data(), nullptr);
  EXPECT_STREQ(creator.m_szName, "");
  EXPECT_EQ(creator.Size(), 10000u);
  opener.Close();
  EXPECT_EQ(creator.Exist(name_.c_str()), 0);
}

TEST_F(SharedMemory, NamesInUseAndObjectsHoldingABlockAreRefused) {
  SharedProbe creator, opener, fresh;
  ASSERT_NE(create(creator, name_, 64), nullptr);
  ASSERT_NE(open(opener, name_), nullptr);
  creator.data()[0] = 5;
  EXPECT_EQ(create(fresh, name_, 64), nullptr);
  report_.expectClear();
  for (SharedProbe* holder : {&creator, &opener}) {
    EXPECT_EQ(create(*holder, uniqueName(), 64), nullptr);
    report_.expectClear();
    EXPECT_EQ(open(*holder, name_), nullptr);
    report_.expectClear();
  }
  EXPECT_EQ(opener.data()[0], 5);
  EXPECT_EQ(creator.Size(), 64u);
}

TEST_F(SharedMemory, NullAndOverlongNamesAreRefused) {
  SharedProbe block;
  std::string const longest(MAX_PATH - 1, 'n');
  ASSERT_NE(create(block, longest, 16), nullptr);
  EXPECT_STREQ(block.m_szName, longest.c_str());
  block.Close();
  for (std::string const& name : {std::string(MAX_PATH, 'n'), std::string(1000, 'n')}) {
    EXPECT_EQ(create(block, name, 16), nullptr);
    report_.expectClear();
    EXPECT_EQ(open(block, name), nullptr);
    report_.expectClear();
  }
  report_ = Report();
  EXPECT_EQ(block.Create(nullptr, 16, &report_.code, &report_.text), nullptr);
  report_.expectClear();
  EXPECT_EQ(block.Open(nullptr, &report_.code, &report_.text), nullptr);
  report_.expectClear();
}

TEST_F(SharedMemory, SystemFailuresAreReportedAndLeaveTheObjectClosed) {
  SharedProbe block;
  EXPECT_EQ(open(block, name_), nullptr);
  report_.expectReported(ERROR_FILE_NOT_FOUND);

  HANDLE const mutex = CreateMutexA(nullptr, FALSE, name_.c_str());  // the name's other kind
  EXPECT_EQ(create(block, name_, 4096), nullptr);
  report_.expectReported(ERROR_INVALID_HANDLE);
  EXPECT_EQ(block.Size(), 4096u);
  CloseHandle(mutex);

  std::string const fresh = uniqueName();
  {
    ImportPatch patch("MapViewOfFile", failing(&MapViewOfFile));
    EXPECT_EQ(create(block, fresh, 64), nullptr);
    report_.expectReported(kInjectedError);
  }
  EXPECT_EQ(block.Exist(fresh.c_str()), 0);  // its mapping was closed
  EXPECT_EQ(block.m_nState, 0);
  EXPECT_EQ(block.data(), nullptr);
}

TEST_F(SharedMemory, CopiesKeepTheBlockUntilTheLastLetsGo) {
  SharedProbe copy;
  {
    CKestSharedMemory source;
    ASSERT_NE(create(source, name_, 64), nullptr);
    CKestSharedMemory second(source);
    static_cast<CKestSharedMemory&>(copy) = second;
    source.Close();
  }
  ASSERT_NE(copy.data(), nullptr);
  copy.data()[63] = 1;
  EXPECT_EQ(copy.Exist(name_.c_str()), 1);
  static_cast<CKestSharedMemory&>(copy) = CKestSharedMemory();  // over the last holder
  EXPECT_EQ(copy.Exist(name_.c_str()), 0);
}

TEST_F(SharedMemory, ASecondProcessSeesTheBlockUntilItIsGone) {
  SharedProbe block;
  ASSERT_NE(create(block, name_, 64), nullptr);
  std::memcpy(block.data(), "ping", 4);
  EXPECT_EQ(runPeer("answer " + name_), 0u);
  EXPECT_EQ(std::memcmp(block.data(), "pong", 4), 0);
  block.Close();
  EXPECT_EQ(runPeer("exists " + name_), 1u);
}

// Stands in for the check that a name is free, and has a rival create the block with data of
// its own straight after it: the window between the check and the creation.
HANDLE g_rival;
ImportPatch* g_openFileMapping;

HANDLE WINAPI rivalCreatesAfterCheck(DWORD access, BOOL inherit, LPCSTR name) {
  auto const open = reinterpret_cast<decltype(&OpenFileMappingA)>(g_openFileMapping->original());
  if (HANDLE const found = open(access, inherit, name)) return found;
  g_rival = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, name);
  void* const view = MapViewOfFile(g_rival, FILE_MAP_WRITE, 0, 0, 0);
  std::memcpy(view, "rival", 5);
  UnmapViewOfFile(view);
  SetLastError(ERROR_FILE_NOT_FOUND);
  return nullptr;
}

TEST_F(SharedMemory, BlockMadeByARivalAfterTheCheckIsRefusedAndKeepsItsData) {
  SharedProbe block, reader;
  {
    ImportPatch patch("OpenFileMappingA", reinterpret_cast<void*>(rivalCreatesAfterCheck));
    g_openFileMapping = &patch;
    EXPECT_EQ(create(block, name_, 64), nullptr);
  }
  report_.expectClear();
  EXPECT_EQ(block.m_nState, 0);
  ASSERT_NE(open(reader, name_), nullptr);
  EXPECT_EQ(std::memcmp(reader.data(), "rival", 5), 0);
  reader.Close();
  CloseHandle(g_rival);
  EXPECT_EQ(reader.Exist(name_.c_str()), 0);  // the refused Create kept no handle
}

}  // namespace
