// Compound files, storages, streams and their elements: real files in a temporary folder
// under Wine, and one fake storage for a list no real storage can hold.

#include "kest011/storage.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "storage/wide_name.h"
#include "support/checks.h"
#include "support/temp_folder.h"

namespace {

using kest::test::units;
using kest::test::wide;

// Storage interfaces need COM on the thread, which the library leaves to its callers.
class ComEnvironment : public ::testing::Environment {
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};
::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

// Releases `object`, which holds the caller's one reference, and says whether there was one.
bool opened(IUnknown* object) {
  EXPECT_TRUE(!object || object->Release() == 0);
  return object != nullptr;
}

class Storage : public ::testing::Test {
 protected:
  void TearDown() override {
    if (root_) root_->Release();
    if (bytes_) bytes_->Release();
  }

  // The temporary folder's path is ASCII in the test prefix.
  std::wstring path(char const* name = "test.stg") const { return wide(folder_.file(name)); }

  IStorage* createRoot() { return root_ = KestOleCreateStgFile(units(path().c_str()), 0, 0); }

  // A compound file in memory, where thousands of elements are made quickly.
  void createMemoryRoot() {
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes_), S_OK);
    ASSERT_EQ(StgCreateDocfileOnILockBytes(
                  bytes_, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root_),
              S_OK);
  }

  void closeRoot() {
    EXPECT_EQ(root_->Release(), 0u);
    root_ = nullptr;
  }

  void add(std::wstring const& name) {
    EXPECT_TRUE(opened(KestOleCreateStream(root_, units(name.c_str()), nullptr, nullptr, 0)));
  }

  // Whether the call failed with `code` (or `otherCode`; 0: any failure) and its text.
  ::testing::AssertionResult failed(bool succeeded, long code = 0, long otherCode = 0) {
    long const got = code_;
    bool const hasText = text_ != nullptr;
    std::string const text = text_ ? text_ : "", expected = kest::test::systemText(got & 0xFFFF);
    code_ = 99;
    text_ = nullptr;
    // Wine has no text for some low words (0xFC); the text is then empty, never another's.
    if (succeeded || got >= 0 || (code && got != code && got != otherCode) || !hasText ||
        text != expected)
      return ::testing::AssertionFailure() << "0x" << std::hex << got << ": " << text;
    return ::testing::AssertionSuccess();
  }

  kest::test::TempFolder folder_;
  ILockBytes* bytes_ = nullptr;
  IStorage* root_ = nullptr;
  STATSTG record_{};
  long code_ = 99;
  char* text_ = nullptr;
};

// Any nonzero write flag opens for reading and writing, zero for reading only.
TEST_F(Storage, ReopenedTreeReadsBackAndTheWriteFlagDecidesAccess) {
  ASSERT_NE(createRoot(), nullptr);
  IStorage* sub = KestOleCreateStorage(root_, units(L"Sub"), nullptr, &code_, &text_);
  ASSERT_NE(sub, nullptr);
  IStream* stream = KestOleCreateStream(sub, units(L"Data"), nullptr, &code_, &text_);
  ASSERT_NE(stream, nullptr);
  std::string big(10000, 'b');  // past the small-stream limit
  ASSERT_EQ(KestOleWriteStream(stream, &big[0], long(big.size()), &code_, &text_), 1);
  EXPECT_TRUE(opened(stream) && opened(sub));
  closeRoot();
  for (int write : {0, 5}) {
    SCOPED_TRACE(write);
    ASSERT_NE(root_ = KestOleOpenStgFile(write, units(path().c_str()), &code_, &text_), nullptr);
    sub = KestOleOpenStorage(write, root_, units(L"Sub"), nullptr, &code_, &text_);
    ASSERT_NE(sub, nullptr);
    stream = KestOleOpenStream(write, sub, units(L"Data"), &record_, &code_, &text_);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(record_.cbSize.QuadPart, big.size());
    CoTaskMemFree(record_.pwcsName);
    std::string got(big.size() + 10, '\0');  // a read stopped by the end succeeds
    EXPECT_EQ(KestOleReadStream(stream, &got[0], long(got.size()), &code_, &text_), 1);
    EXPECT_EQ(got.substr(0, big.size()), big);
    EXPECT_EQ(KestOleWriteStream(stream, &got[0], 1, &code_, &text_), write ? 1 : 0);
    EXPECT_TRUE(write || failed(false, STG_E_ACCESSDENIED));
    for (IStorage* parent : {root_, sub})
      EXPECT_EQ(opened(KestOleCreateStorage(parent, units(L"New"), nullptr, nullptr, nullptr)),
                write != 0);
    EXPECT_TRUE(opened(stream) && opened(sub));
    closeRoot();
  }
}

TEST_F(Storage, FailuresGiveTheHresultAndTheTextOfItsLowWord) {
  ASSERT_NE(createRoot(), nullptr);
  EXPECT_TRUE(failed(opened(KestOleOpenStgFile(0, units(path("no.stg")), &code_, &text_)),
                     STG_E_FILENOTFOUND));
  unsigned short const* const none = nullptr;
  EXPECT_TRUE(failed(opened(KestOleOpenStgFile(0, none, &code_, &text_))));
  EXPECT_TRUE(failed(opened(KestOleOpenStorage(1, root_, none, 0, &code_, &text_))));
  EXPECT_TRUE(failed(opened(KestOleCreateStorage(root_, none, 0, &code_, &text_))));
  EXPECT_TRUE(failed(opened(KestOleOpenStream(1, root_, none, 0, &code_, &text_))));
  EXPECT_TRUE(failed(opened(KestOleCreateStream(root_, none, 0, &code_, &text_))));
  EXPECT_TRUE(failed(KestOleDeleteElement(root_, none, &code_, &text_)));
}

// A refused call returns its failure with code 0 and no text, whatever the caller's
// out-parameters held before, with a narrow and a wide name alike.
TEST_F(Storage, NullInterfacesAreRefusedWithCodeZero) {
  createMemoryRoot();
  add(L"S");
  record_.type = 77;
  char buffer[4] = {};
  CKestOleEnumElements list;
  ASSERT_EQ(list.EnumElements(root_, nullptr, nullptr), 1);
  auto const refused = [&](char const* what, auto call) {
    for (bool narrow : {false, true}) {
      text_ = buffer;
      EXPECT_TRUE(!(narrow ? call("S") : call(units(L"S")))) << what << narrow;
      EXPECT_EQ(code_, 0) << what << narrow;
      EXPECT_EQ(text_, nullptr) << what << narrow;
      code_ = 99;
    }
  };
  long& c = code_;
  char*& t = text_;
  STATSTG& r = record_;
  refused("OpenStorage", [&](auto s) { return KestOleOpenStorage(1, 0, s, &r, &c, &t); });
  refused("CreateStorage", [&](auto s) { return KestOleCreateStorage(0, s, &r, &c, &t); });
  refused("OpenStream", [&](auto s) { return KestOleOpenStream(0, 0, s, &r, &c, &t); });
  refused("CreateStream", [&](auto s) { return KestOleCreateStream(0, s, &r, &c, &t); });
  refused("DeleteElement", [&](auto s) { return KestOleDeleteElement(0, s, &c, &t); });
  refused("FindElement", [&](auto s) { return KestOleFindElement(0, s, 0, r, &c, &t); });
  refused("WriteStream", [&](auto) { return KestOleWriteStream(0, buffer, 4, &c, &t); });
  refused("ReadStream", [&](auto) { return KestOleReadStream(0, buffer, 4, &c, &t); });
  refused("EnumElements", [&](auto) { return list.EnumElements(0, &c, &t); });
  EXPECT_EQ(record_.type, 77u);  // no record was filled
  EXPECT_EQ(list.Size(), 1u);    // and the list was not emptied
}

// A negative count would be almost 4 GiB to the platform, a null buffer with bytes to move
// would be read or written: both are refused and nothing moves. Zero bytes move fine.
TEST_F(Storage, TransfersWithNullBuffersOrNegativeCountsAreRefused) {
  createMemoryRoot();
  IStream* const stream = KestOleCreateStream(root_, units(L"Data"), nullptr, nullptr, nullptr);
  ASSERT_NE(stream, nullptr);
  char buffer[16] = "abcdefghijklmno";
  std::tuple<void*, long, int> const rows[] = {{nullptr, 1, 0},
                                               {nullptr, LONG_MAX, 0},
                                               {buffer, LONG_MIN, 0},
                                               {buffer, -1, 0},
                                               {buffer, 0, 1}};
  for (auto const& [data, count, result] : rows) {
    SCOPED_TRACE(std::to_string(count) + (data ? " buffer" : " null"));
    EXPECT_EQ(KestOleWriteStream(stream, data, count, &code_, &text_), result);
    EXPECT_EQ(code_, 0);
    EXPECT_EQ(text_, nullptr);
    LARGE_INTEGER const start{};
    ULARGE_INTEGER end{};
    ASSERT_EQ(stream->Seek(start, STREAM_SEEK_END, &end), S_OK);
    EXPECT_EQ(end.QuadPart, 0u);
    ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(KestOleReadStream(stream, data, count, &code_, &text_), result);
    EXPECT_EQ(code_, 0);
  }
  EXPECT_STREQ(buffer, "abcdefghijklmno");
  EXPECT_TRUE(opened(stream));
}

// Without a name the platform makes a temporary file in %TMP%, which must go with the
// storage's last release.
TEST_F(Storage, UnnamedCompoundFilesLeaveNoTemporaryFileBehind) {
  auto const files = [&] {  // "." and ".." are always there
    WIN32_FIND_DATAA found;
    HANDLE const search = FindFirstFileA((folder_.path() + "\\*").c_str(), &found);
    int count = -2;
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
      ++count;
    return FindClose(search), count;
  };
  char saved[MAX_PATH] = {};
  DWORD const savedLength = GetEnvironmentVariableA("TMP", saved, MAX_PATH);
  ASSERT_TRUE(SetEnvironmentVariableA("TMP", folder_.path().c_str()));
  for (bool narrow : {false, true}) {
    root_ = narrow ? KestOleCreateStgFile(static_cast<char const*>(nullptr), 0, 0)
                   : KestOleCreateStgFile(static_cast<unsigned short const*>(nullptr), 0, 0);
    ASSERT_NE(root_, nullptr);
    EXPECT_EQ(files(), 1);  // the platform's file is where the test looks
    add(L"Data");
    closeRoot();
    EXPECT_EQ(files(), 0);
  }
  SetEnvironmentVariableA("TMP", savedLength ? saved : nullptr);
}

TEST(ClsidText, FixedWidthUpperCaseInFieldOrder) {
  GUID const id = {0xFEDCBA9, 0x7654, 0x321, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  EXPECT_STREQ(KestOleCLSIDAsString(id), "{0FEDCBA9-7654-0321-0123-456789ABCDEF}");
}

TEST_F(Storage, NarrowNamesReachTheSameElementsAsWideOnes) {
  ASSERT_NE(root_ = KestOleCreateStgFile(folder_.file("a.stg").c_str(), &code_, &text_), nullptr);
  ASSERT_TRUE(opened(KestOleCreateStorage(root_, "Folder", nullptr, &code_, &text_)));
  IStorage* folder = KestOleOpenStorage(1, root_, "Folder", nullptr, &code_, &text_);
  ASSERT_NE(folder, nullptr);
  EXPECT_TRUE(opened(KestOleCreateStream(folder, "Page", nullptr, &code_, &text_)));
  EXPECT_TRUE(opened(KestOleOpenStream(0, folder, "Page", nullptr, &code_, &text_)));
  ASSERT_EQ(KestOleFindElement(folder, "Page", STGTY_STREAM, record_, &code_, &text_), 1);
  CoTaskMemFree(record_.pwcsName);
  EXPECT_EQ(KestOleDeleteElement(folder, "Page", &code_, &text_), 1);
  EXPECT_TRUE(opened(folder));
  long wideCode = 0;  // a null narrow name reaches the wide form as null
  KestOleOpenStream(1, root_, static_cast<unsigned short const*>(nullptr), 0, &wideCode, nullptr);
  EXPECT_TRUE(failed(
      opened(KestOleOpenStream(1, root_, static_cast<char const*>(nullptr), 0, &code_, &text_)),
      wideCode));
  if (GetACP() == 1252) {  // high bytes are the ANSI code page's characters
    EXPECT_TRUE(opened(KestOleCreateStream(root_, "\xE4pfel", nullptr, &code_, &text_)));
    EXPECT_EQ(KestOleFindElement(root_, units(L"\u00E4pfel"), 0, record_, &code_, &text_), 1);
    CoTaskMemFree(record_.pwcsName);
  }
}

// No name in the ANSI code page fails to convert, so the converter is tried on a code page
// that does not exist. The overloads convert before the wide form runs, so a raised error
// leaves the caller's code and text untouched.
TEST(WideNames, FailedConversionRaisesTheSystemErrorAsAnHresult) {
  try {
    kest::WideName name("abc", 12345);
    FAIL() << "no exception";
  } catch (_com_error const& error) {
    EXPECT_EQ(error.Error(), HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
  }
}

TEST_F(Storage, ThousandsOfElementsAreListed) {
  createMemoryRoot();
  CKestOleEnumElements list;
  int const count = 2000;
  for (int i = 0; i < count; ++i) add(L"Element " + std::to_wstring(i));
  ASSERT_EQ(list.EnumElements(root_, &code_, &text_), 1);
  ASSERT_EQ(list.Size(), unsigned(count));
  std::vector<bool> seen(count);
  for (int i = 0; i < count; ++i) seen.at(std::stoi(list.GetAt(i).pwcsName + 8)) = true;
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), count);
  for (int outside : {INT_MIN, -1, count, INT_MAX})  // out of range: a zero-filled record
    EXPECT_TRUE(!list.GetAt(outside).pwcsName && !list.GetAt(outside).type) << outside;
}

// Types match by equality. Wine's enumerator clears the record it is given on no fetch too.
TEST_F(Storage, LookupComparesCodeUnitsAndTypesExactlyAndKeepsTheRecordWhenNotFound) {
  createMemoryRoot();
  add(L"Data");
  ASSERT_TRUE(opened(KestOleCreateStorage(root_, units(L"Folder"), nullptr, nullptr, nullptr)));
  std::tuple<wchar_t const*, unsigned long, int> const cases[] = {
      {L"Data", 0, 1},
      {L"Folder", STGTY_STORAGE, 1},
      {L"Data", STGTY_STORAGE, 0},
      {L"data", 0, 0},
      {L"Dat", 0, 0},
      {L"Data ", 0, 0},
      {nullptr, 0, 0},
      {L"Folder", STGTY_STORAGE | STGTY_STREAM, 0}};
  for (auto const& [name, type, found] : cases) {
    SCOPED_TRACE(name ? name : L"(null)");
    record_ = STATSTG{};
    record_.type = 77;
    EXPECT_EQ(KestOleFindElement(root_, units(name), type, record_, &code_, &text_), found);
    EXPECT_TRUE(code_ == 0 && !text_);
    EXPECT_EQ(record_.type == 77, !found);
    CoTaskMemFree(record_.pwcsName);
  }
}

// Copies share one list: emptying it (twice, too) or filling it through any copy does so
// for all.
TEST_F(Storage, CopiesOfAnElementListShareOneList) {
  createMemoryRoot();
  add(L"One");
  add(L"Two");
  CKestOleEnumElements source;
  ASSERT_EQ(source.EnumElements(root_, nullptr, nullptr), 1);
  CKestOleEnumElements copy(source);
  copy.FreeElements();
  EXPECT_EQ(source.Size(), 0u);
  ASSERT_EQ(copy.EnumElements(root_, nullptr, nullptr), 1);
  ASSERT_EQ(source.Size(), 2u);
  EXPECT_EQ(std::wstring(source.GetAt(0).pwcsName) + source.GetAt(1).pwcsName, L"OneTwo");
}

// A storage that hands itself out as the storage opened or made, and whose Stat fails.
#define NOT_USED(method, ...) \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return E_NOTIMPL; }
struct SelfStorage : IStorage {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  NOT_USED(CreateStream, OLECHAR const*, DWORD, DWORD, DWORD, IStream**)
  NOT_USED(OpenStream, OLECHAR const*, void*, DWORD, DWORD, IStream**)
  HRESULT STDMETHODCALLTYPE CreateStorage(OLECHAR const*, DWORD how, DWORD, DWORD,
                                          IStorage** made) override {
    return mode = how, *made = this, AddRef(), S_OK;
  }
  HRESULT STDMETHODCALLTYPE OpenStorage(OLECHAR const*, IStorage*, DWORD how, SNB, DWORD,
                                        IStorage** made) override {
    return CreateStorage(nullptr, how, 0, 0, made);
  }
  NOT_USED(CopyTo, DWORD, IID const*, SNB, IStorage*)
  NOT_USED(MoveElementTo, OLECHAR const*, IStorage*, OLECHAR const*, DWORD)
  NOT_USED(Commit, DWORD)
  NOT_USED(Revert)
  NOT_USED(DestroyElement, OLECHAR const*)
  NOT_USED(RenameElement, OLECHAR const*, OLECHAR const*)
  NOT_USED(SetElementTimes, OLECHAR const*, FILETIME const*, FILETIME const*, FILETIME const*)
  NOT_USED(SetClass, REFCLSID)
  NOT_USED(SetStateBits, DWORD, DWORD)
  NOT_USED(Stat, STATSTG*, DWORD)
  NOT_USED(EnumElements, DWORD, void*, DWORD, IEnumSTATSTG**)

  ULONG references = 1;
  DWORD mode = 0;
};

// The exact modes; a failed Stat gives its code and releases what the call had made.
TEST(Modes, OpenAndCreatePassTheirFlagsAndAFailedStatReleasesTheNewStorage) {
  DWORD const kReadWrite = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
  SelfStorage storage;
  STATSTG record{};
  long code = 0;
  for (int write : {0, 5, -1}) {
    SCOPED_TRACE(write);
    EXPECT_EQ(KestOleOpenStorage(write, &storage, units(L"Sub"), &record, &code, nullptr), nullptr);
    EXPECT_EQ(storage.mode, DWORD(write ? kReadWrite : STGM_SHARE_EXCLUSIVE));
    EXPECT_EQ(code, E_NOTIMPL);
    EXPECT_EQ(storage.references, 1u);
  }
  EXPECT_EQ(KestOleCreateStorage(&storage, units(L"Sub"), nullptr, &code, nullptr), &storage);
  EXPECT_EQ(storage.mode, DWORD(STGM_CREATE | kReadWrite));
  EXPECT_EQ(storage.Release(), 1u);  // no record, no Stat: the new reference is the caller's
}

}  // namespace
