// Hostile callers: storage, version.

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <atomic>
#include <climits>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hostile/resource_counts.h"
#include "kest011/frame.h"
#include "kest011/storage.h"
#include "kest011/version.h"
#include "support/program_folder.h"
#include "support/temp_folder.h"

namespace {

using kest::test::growthOver;
using kest::test::kHeapSlack;

unsigned short const* units(wchar_t const* name) {
  return reinterpret_cast<unsigned short const*>(name);
}
unsigned short const* units(std::wstring const& name) { return units(name.c_str()); }

std::wstring wide(std::string const& narrow) { return std::wstring(narrow.begin(), narrow.end()); }

// Runs `round` on `threads` threads at once, `rounds` times each.
void onThreads(int threads, int rounds, std::function<void()> const& round) {
  std::atomic<int> waiting{threads};
  std::vector<std::thread> running;
  for (int t = 0; t < threads; ++t)
    running.emplace_back([&] {
      for (--waiting; waiting > 0;) {
      }
      for (int i = 0; i < rounds; ++i) round();
    });
  for (std::thread& thread : running) thread.join();
}

// Storage interfaces need COM on the thread, which the library leaves to its callers.
class HostileStorage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    root_ = KestOleCreateStgFile(units(wide(folder_.file("test.stg"))), nullptr, nullptr);
    ASSERT_NE(root_, nullptr);
    stream_ = KestOleCreateStream(root_, units(L"Data"), nullptr, nullptr, nullptr);
    ASSERT_NE(stream_, nullptr);
  }
  void TearDown() override {
    if (stream_) stream_->Release();
    if (root_) root_->Release();
    CoUninitialize();
  }

  // Adds `count` streams with names of 31 characters, the longest a name can be.
  void addStreams(int count) {
    for (int i = 0; i < count; ++i) {
      std::wstring name = std::to_wstring(i);
      name.resize(31, L'n');
      IStream* const made = KestOleCreateStream(root_, units(name), nullptr, nullptr, nullptr);
      ASSERT_NE(made, nullptr);
      made->Release();
    }
  }

  ULONGLONG streamSize() {
    STATSTG record{};
    EXPECT_EQ(stream_->Stat(&record, STATFLAG_NONAME), S_OK);
    return record.cbSize.QuadPart;
  }

  kest::test::TempFolder folder_;
  IStorage* root_ = nullptr;
  IStream* stream_ = nullptr;
};

// A refused call returns its failure with code 0 and no text, whatever the caller's
// out-parameters held before, with a narrow and a wide name alike.
TEST_F(HostileStorage, NullInterfacesAreRefusedWithCodeZero) {
  STATSTG record{};
  record.type = 77;
  char buffer[16] = {};
  addStreams(1);
  CKestOleEnumElements list;
  ASSERT_EQ(list.EnumElements(root_, nullptr, nullptr), 1);
  auto const refused = [&](char const* what, auto call) {
    for (bool narrow : {false, true}) {
      long code = 99;
      char* text = buffer;
      auto const got = narrow ? call("S", &code, &text) : call(units(L"S"), &code, &text);
      EXPECT_TRUE(!got) << what << narrow;
      EXPECT_EQ(code, 0) << what << narrow;
      EXPECT_EQ(text, nullptr) << what << narrow;
    }
  };
  refused("OpenStorage",
          [&](auto s, long* c, char** t) { return KestOleOpenStorage(1, 0, s, &record, c, t); });
  refused("CreateStorage",
          [&](auto s, long* c, char** t) { return KestOleCreateStorage(0, s, &record, c, t); });
  refused("OpenStream",
          [&](auto s, long* c, char** t) { return KestOleOpenStream(0, 0, s, &record, c, t); });
  refused("CreateStream",
          [&](auto s, long* c, char** t) { return KestOleCreateStream(0, s, &record, c, t); });
  refused("DeleteElement",
          [&](auto s, long* c, char** t) { return KestOleDeleteElement(0, s, c, t); });
  refused("FindElement",
          [&](auto s, long* c, char** t) { return KestOleFindElement(0, s, 0, record, c, t); });
  refused("WriteStream",
          [&](auto, long* c, char** t) { return KestOleWriteStream(0, buffer, 4, c, t); });
  refused("ReadStream",
          [&](auto, long* c, char** t) { return KestOleReadStream(0, buffer, 4, c, t); });
  refused("EnumElements", [&](auto, long* c, char** t) { return list.EnumElements(0, c, t); });
  EXPECT_EQ(record.type, 77u);  // no record was filled
  EXPECT_EQ(list.Size(), 2u);   // and the list was not emptied
}

// A null buffer with bytes to move is refused like a negative count; nothing moves.
TEST_F(HostileStorage, TransfersWithNullBuffersOrNegativeCountsAreRefused) {
  char buffer[16] = "abcdefghijklmno";
  struct Row {
    void* buffer;
    long count;
    int result;
  } const rows[] = {{nullptr, 1, 0}, {nullptr, LONG_MAX, 0}, {buffer, LONG_MIN, 0}, {buffer, 0, 1}};
  for (auto const& row : rows) {
    SCOPED_TRACE(std::to_string(row.count) + (row.buffer ? " buffer" : " null"));
    ULONGLONG const before = streamSize();
    long code = 99;
    char* text = buffer;
    EXPECT_EQ(KestOleWriteStream(stream_, row.buffer, row.count, &code, &text), row.result);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(streamSize(), before + (row.result ? row.count : 0));
    LARGE_INTEGER const start{};
    ASSERT_EQ(stream_->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(KestOleReadStream(stream_, row.buffer, row.count, &code, &text), row.result);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(stream_->Seek(start, STREAM_SEEK_END, nullptr), S_OK);
  }
}

// Element names hold at most 31 characters; the platform refuses longer ones.
TEST_F(HostileStorage, ElementNamesPastThirtyOneCharactersAreRefusedByThePlatform) {
  struct Row {
    std::wstring name;
    bool made;
  } const rows[] = {{std::wstring(31, L'a'), true},
                    {std::wstring(32, L'b'), false},
                    {std::wstring(100000, L'f'), false}};
  for (auto const& row : rows) {
    SCOPED_TRACE(row.name.substr(0, 40) + L" " + std::to_wstring(row.name.size()));
    for (bool storage : {false, true}) {
      long code = 99;
      char* text = nullptr;
      IUnknown* const made =
          storage ? static_cast<IUnknown*>(
                        KestOleCreateStorage(root_, units(row.name), nullptr, &code, &text))
                  : KestOleCreateStream(root_, units(row.name), nullptr, &code, &text);
      EXPECT_EQ(made != nullptr, row.made);
      if (made) made->Release();
      if (!row.made) {
        EXPECT_EQ(code, STG_E_INVALIDNAME);
        EXPECT_NE(text, nullptr);
      }
    }
    STATSTG record{};
    EXPECT_EQ(KestOleFindElement(root_, units(row.name), 0, record, nullptr, nullptr),
              row.made ? 1 : 0);
    CoTaskMemFree(record.pwcsName);
  }
}

// Compound file names: empty, at and past the path limit, and far past it, both widths.
// Whether the platform takes 260 characters and more is its own affair (Wine does, Windows
// only with long paths enabled); the code must agree with the result either way.
TEST_F(HostileStorage, FileNamesPastThePathLimitFailWithACode) {
  std::string const base = folder_.path() + "\\";
  auto const padded = [&](size_t length) {
    return base + std::string(length - base.size() - 4, 'p') + ".stg";
  };
  enum Outcome { kMade, kFailed, kEither };
  struct Row {
    std::string name;
    Outcome outcome;
  } const rows[] = {{"", kFailed},
                    {padded(MAX_PATH - 1), kMade},
                    {padded(MAX_PATH), kEither},
                    {padded(100000), kFailed}};
  for (auto const& row : rows) {
    SCOPED_TRACE(row.name.size());
    for (bool narrow : {false, true}) {
      long code = 99;
      char* text = nullptr;
      IStorage* const made = narrow ? KestOleCreateStgFile(row.name.c_str(), &code, &text)
                                    : KestOleCreateStgFile(units(wide(row.name)), &code, &text);
      if (row.outcome != kEither) {
        EXPECT_EQ(made != nullptr, row.outcome == kMade);
      }
      EXPECT_TRUE(made ? code == 0 && !text : code < 0 && text) << code;
      if (made) made->Release();
      IStorage* const opened = narrow ? KestOleOpenStgFile(1, row.name.c_str(), &code, &text)
                                      : KestOleOpenStgFile(1, units(wide(row.name)), &code, &text);
      EXPECT_EQ(opened != nullptr, made != nullptr);
      if (opened) opened->Release();
    }
  }
}

// Whatever its sign or size, a nonzero write flag opens for writing and zero does not.
TEST_F(HostileStorage, AnyNonzeroWriteFlagOpensForWriting) {
  root_->Release();
  root_ = nullptr;
  stream_->Release();
  stream_ = nullptr;
  std::wstring const name = wide(folder_.file("test.stg"));
  for (int write : {INT_MIN, -1, 1, INT_MAX, 0}) {
    SCOPED_TRACE(write);
    IStorage* const root = KestOleOpenStgFile(write, units(name), nullptr, nullptr);
    ASSERT_NE(root, nullptr);
    IStream* const data = KestOleOpenStream(write, root, units(L"Data"), nullptr, nullptr, nullptr);
    ASSERT_NE(data, nullptr);
    long code = 0;
    EXPECT_EQ(KestOleWriteStream(data, const_cast<char*>("x"), 1, &code, nullptr), write ? 1 : 0);
    EXPECT_EQ(code, write ? 0 : STG_E_ACCESSDENIED);
    data->Release();
    root->Release();
  }
}

// A stream or storage outlives its root only as a reverted element: calls on it fail.
TEST_F(HostileStorage, ElementsOfAReleasedRootFailAsReverted) {
  IStorage* const sub = KestOleCreateStorage(root_, units(L"Sub"), nullptr, nullptr, nullptr);
  ASSERT_NE(sub, nullptr);
  root_->Release();
  root_ = nullptr;
  long code = 0;
  EXPECT_EQ(KestOleWriteStream(stream_, const_cast<char*>("x"), 1, &code, nullptr), 0);
  EXPECT_EQ(code, STG_E_REVERTED);
  CKestOleEnumElements list;
  EXPECT_EQ(list.EnumElements(sub, &code, nullptr), 0);
  EXPECT_EQ(code, STG_E_REVERTED);
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(KestOleCreateStream(sub, units(L"New"), nullptr, &code, nullptr), nullptr);
  EXPECT_EQ(code, STG_E_REVERTED);
  sub->Release();
}

// Without a name the platform makes a temporary file in %TMP%, which must go with the
// storage's last release.
TEST_F(HostileStorage, UnnamedCompoundFilesLeaveNoTemporaryFileBehind) {
  kest::test::TempFolder temporary;
  auto const files = [&] {
    WIN32_FIND_DATAA found;
    HANDLE const search = FindFirstFileA((temporary.path() + "\\*").c_str(), &found);
    int count = 0;
    if (search == INVALID_HANDLE_VALUE) return count;
    do count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
  };
  char saved[MAX_PATH] = {};
  DWORD const savedLength = GetEnvironmentVariableA("TMP", saved, MAX_PATH);
  ASSERT_TRUE(SetEnvironmentVariableA("TMP", temporary.path().c_str()));
  for (int i = 0; i < 20; ++i) {
    IStorage* const root =
        i % 2 ? KestOleCreateStgFile(static_cast<char const*>(nullptr), 0, 0)
              : KestOleCreateStgFile(static_cast<unsigned short const*>(nullptr), nullptr, nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(files(), 1);  // the platform's file is where the test looks
    IStream* const data = KestOleCreateStream(root, units(L"Data"), nullptr, nullptr, nullptr);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(KestOleWriteStream(data, const_cast<char*>("abc"), 3, nullptr, nullptr), 1);
    data->Release();
    root->Release();
  }
  EXPECT_EQ(files(), 0);
  SetEnvironmentVariableA("TMP", savedLength ? saved : nullptr);
}

TEST_F(HostileStorage, GetAtOutsideTheListGivesAnEmptyRecord) {
  addStreams(3);
  CKestOleEnumElements list;
  ASSERT_EQ(list.EnumElements(root_, nullptr, nullptr), 1);
  ASSERT_EQ(list.Size(), 4u);
  for (int index : {INT_MIN, -4, -1, 4, 5, INT_MAX}) {
    EXPECT_EQ(list.GetAt(index).pwcsName, nullptr) << index;
    EXPECT_EQ(list.GetAt(index).type, 0u) << index;
  }
  EXPECT_NE(list.GetAt(3).pwcsName, nullptr);
  CKestOleEnumElements empty;
  EXPECT_EQ(empty.GetAt(0).pwcsName, nullptr);
}

// Orders the element suite leaves out: a copy assigned to itself, emptied twice, and a copy
// that enumerates afresh going before the others.
TEST_F(HostileStorage, ElementListCopiesSurviveEveryOrderOfUse) {
  addStreams(2);
  CKestOleEnumElements source;
  ASSERT_EQ(source.EnumElements(root_, nullptr, nullptr), 1);
  CKestOleEnumElements copy(source);
  copy = copy;
  copy.FreeElements();
  copy.FreeElements();
  EXPECT_EQ(source.Size(), 0u);
  {
    CKestOleEnumElements inner(source);
    ASSERT_EQ(inner.EnumElements(root_, nullptr, nullptr), 1);
  }
  EXPECT_EQ(copy.Size(), 3u);
  EXPECT_EQ(source.GetAt(2).pwcsName, copy.GetAt(2).pwcsName);
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

// Copies of one list made, assigned and destroyed on four threads at once: the list is
// shared to the end and freed by its last holder.
TEST_F(HostileStorage, ElementListCopiesOnFourThreadsKeepTheListIntact) {
  addStreams(5);
  CKestOleEnumElements source;
  ASSERT_EQ(source.EnumElements(root_, nullptr, nullptr), 1);
  std::wstring const last = source.GetAt(5).pwcsName;
  std::atomic<int> wrong{0};
  auto const round = [&] {
    CKestOleEnumElements copy(source);
    CKestOleEnumElements other;
    other = copy;
    copy = other;
    other = CKestOleEnumElements();
    if (copy.Size() != 6) ++wrong;
  };
  onThreads(4, 1000, round);  // the heap grows once for threads that allocate at once
  size_t const bytes = kest::test::committedPrivateBytes();
  onThreads(4, 100000, round);
  EXPECT_EQ(wrong, 0);
  // A list per round that no holder freed would be megabytes.
  EXPECT_LT(static_cast<long long>(kest::test::committedPrivateBytes() - bytes), kHeapSlack);
  ASSERT_EQ(source.Size(), 6u);
  EXPECT_EQ(source.GetAt(5).pwcsName, last);
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

std::string const kLibrary = kest::test::programFolder() + "kest011.dll";

// Fifty names of 31 characters in the root: lists that never freed them would pass the slack.
TEST_F(HostileStorage, EveryResourceOwningOperationLeaksNothing) {
  addStreams(50);
  std::wstring const name = wide(folder_.file("loop.stg"));
  char buffer[100] = "data";
  CKestOleEnumElements kept;
  struct {
    char const* what;
    std::function<void()> round;
  } const rows[] = {
      {"compound files",
       [&] {
         if (IStorage* const made = KestOleCreateStgFile(units(name), nullptr, nullptr))
           made->Release();
         if (IStorage* const opened = KestOleOpenStgFile(0, units(name), nullptr, nullptr))
           opened->Release();
       }},
      {"streams",
       [&] {
         STATSTG record{};
         IStream* made = KestOleCreateStream(root_, units(L"Loop"), &record, nullptr, nullptr);
         CoTaskMemFree(record.pwcsName);
         KestOleWriteStream(made, buffer, sizeof buffer, nullptr, nullptr);
         if (made) made->Release();
         IStream* opened = KestOleOpenStream(0, root_, units(L"Loop"), &record, nullptr, nullptr);
         CoTaskMemFree(record.pwcsName);
         KestOleReadStream(opened, buffer, sizeof buffer, nullptr, nullptr);
         if (opened) opened->Release();
       }},
      {"element lists and lookups",
       [&] {
         CKestOleEnumElements list;
         list.EnumElements(root_, nullptr, nullptr);
         kept = list;
         CKestOleEnumElements copy(kept);
         copy.EnumElements(root_, nullptr, nullptr);
         STATSTG record{};
         if (KestOleFindElement(root_, units(L"Data"), STGTY_STREAM, record, nullptr, nullptr))
           CoTaskMemFree(record.pwcsName);
       }},
      {"version information",
       [] {
         CKestFileVersionInfo info;
         info.Open(kLibrary.c_str());
         CKestFileVersionInfo copy(info);
         CKestFileVersionInfo assigned;
         assigned = copy;
         info.GetProductName();
       }},
  };
  for (auto const& row : rows) {
    SCOPED_TRACE(row.what);
    auto const growth = growthOver(2000, row.round);
    EXPECT_EQ(growth.handles, 0);
    EXPECT_LT(growth.bytes, kHeapSlack);
  }
}

// ---- Version information ------------------------------------------------------------

// Holds up the thread that first touches a guarded page, for as long as the others need to
// run into what it is doing.
LONG CALLBACK holdUpFirstReader(EXCEPTION_POINTERS* exception) {
  if (exception->ExceptionRecord->ExceptionCode != STATUS_GUARD_PAGE_VIOLATION)
    return EXCEPTION_CONTINUE_SEARCH;
  Sleep(300);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The first objects of the process, made on eight threads at once, all see the fallback
// text: the others wait while one loads it. The text comes from a data-file copy of the
// library whose headers are guarded, so the loading thread stalls inside the load.
TEST(HostileVersion, FirstConstructionsOnManyThreadsAllSeeTheFallbackText) {
  HMODULE const copy = LoadLibraryExA(kLibrary.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(copy, nullptr);
  void* const handler = AddVectoredExceptionHandler(1, holdUpFirstReader);
  int const threads = 8;
  std::atomic<int> arrived{0}, wrong{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> running;
  for (int t = 0; t < threads; ++t)
    running.emplace_back([&] {
      ++arrived;
      while (!go) {
      }
      CKestFileVersionInfo info;
      if (std::string(info.GetProductName()) != "Not Available") ++wrong;
    });
  // Every thread has started, so no thread start sets the resource handle back any more.
  while (arrived < threads) Sleep(1);
  KestSetResourceHandle(copy);
  DWORD old = 0;
  void* const headers = reinterpret_cast<void*>(reinterpret_cast<ULONG_PTR>(copy) & ~ULONG_PTR{3});
  ASSERT_TRUE(VirtualProtect(headers, 1, PAGE_READONLY | PAGE_GUARD, &old));
  go = true;
  for (std::thread& thread : running) thread.join();
  EXPECT_EQ(wrong, 0);
  RemoveVectoredExceptionHandler(handler);
  FreeLibrary(copy);
}

TEST(HostileVersion, UnusablePathsDoNotOpen) {
  kest::test::TempFolder folder;
  std::string const base = folder.path() + "\\";
  std::string const rows[] = {
      "",
      folder.file("missing.dll"),
      folder.write("plain.dll", std::string(4096, 'M')),  // not a program file
      folder.path(),                                      // a folder
      base + std::string(MAX_PATH - 1 - base.size(), 'a'),
      base + std::string(MAX_PATH - base.size(), 'b'),
      std::string(100000, 'd'),
  };
  for (std::string const& path : rows) {
    CKestFileVersionInfo info;
    EXPECT_EQ(info.Open(path.c_str()), 0) << path.size();
    EXPECT_STREQ(info.GetProductName(), "Not Available") << path.size();
    EXPECT_EQ(info.GetHelpFileName(), nullptr) << path.size();
  }
  CKestFileVersionInfo info;
  EXPECT_EQ(info.Open(static_cast<char const*>(nullptr)), 0);
  EXPECT_EQ(info.Open(reinterpret_cast<HINSTANCE>(1)), 0);  // no module there
}

// Names that are null or empty, too long for the key, or absent: never past a buffer.
TEST(HostileVersion, StringLookupsWithUnusableNames) {
  CKestFileVersionInfo info;
  ASSERT_EQ(info.Open(kLibrary.c_str()), 1);
  std::string const longName(259, 'k'), hugeName(100000, 'h');
  struct Row {
    char const* name;
    unsigned long translation;
    char const* value;
  } const rows[] = {{nullptr, 0, "Not Available"}, {"", 0, "Not Available"},
                    {"NoSuchValue", 0, ""},        {"ProductName", 0xFFFFFFFF, ""},
                    {longName.c_str(), 0, ""},     {hugeName.c_str(), 0, ""},
                    {"ProductName", 0, "Kest011"}};
  for (auto const& row : rows)
    EXPECT_STREQ(info.QueryValue(row.name, row.translation), row.value)
        << (row.name ? std::string(row.name).size() : 0);
  info.Close();
  info.Close();
  for (auto const& row : rows) EXPECT_STREQ(info.QueryValue(row.name, 0), "Not Available");
  EXPECT_STREQ(info.GetFixedFileVersion(), "Not Available");
}

// Copies in every order: self-assignment, assignment over an open object, the source
// closing or going first.
TEST(HostileVersion, CopiesSurviveEveryOrderOfUse) {
  auto* source = new CKestFileVersionInfo;
  ASSERT_EQ(source->Open(kLibrary.c_str()), 1);
  *source = *source;
  CKestFileVersionInfo open;
  ASSERT_EQ(open.Open(kLibrary.c_str()), 1);
  open = *source;
  CKestFileVersionInfo copy(*source);
  source->Close();
  source->Close();
  delete source;
  EXPECT_STREQ(copy.GetFixedFileVersion(), "0,1,1,37");
  open.Close();
  EXPECT_STREQ(copy.GetProductName(), "Kest011");
  EXPECT_EQ(copy.Open(kLibrary.c_str()), 0);  // open already
  CKestFileVersionInfo closed;
  copy = closed;
  EXPECT_STREQ(copy.GetProductName(), "Not Available");
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

// Copies of one open object made, assigned and destroyed on four threads at once, each
// reading the shared resource through its own copy.
TEST(HostileVersion, CopiesOnFourThreadsKeepTheResourceIntact) {
  CKestFileVersionInfo source;
  ASSERT_EQ(source.Open(kLibrary.c_str()), 1);
  std::atomic<int> wrong{0};
  onThreads(4, 20000, [&] {
    CKestFileVersionInfo copy(source);
    CKestFileVersionInfo other;
    other = copy;
    copy = other;
    other.Close();
    VS_FIXEDFILEINFO fixed{};
    if (!copy.GetFixedInfo(fixed) || fixed.dwFileVersionLS != MAKELONG(37, 1)) ++wrong;
  });
  EXPECT_EQ(wrong, 0);
  EXPECT_STREQ(source.GetFixedFileVersion(), "0,1,1,37");
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

}  // namespace
