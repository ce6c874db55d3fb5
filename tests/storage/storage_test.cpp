// Compound files, storages, streams and their elements: real files in a temporary folder
// under Wine, and one fake storage that does what none does: fails Stat, lists a name twice.

#include "kest011/storage.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <tuple>

#include "storage/wide_name.h"
#include "support/checks.h"
#include "support/import_patch.h"
#include "support/temp_folder.h"

namespace {

using kest::test::opened;
using kest::test::units;
using kest::test::wide;

class Storage : public ::testing::Test {
 protected:
  // Storage interfaces need COM on the thread, which the library leaves to its callers.
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override {
    if (root_) root_->Release();
    CoUninitialize();
  }

  // The temporary folder's path is ASCII in the test prefix.
  std::wstring path(char const* name = "test.stg") const { return wide(folder_.file(name)); }

  IStorage* createRoot() { return root_ = KestOleCreateStgFile(units(path().c_str()), 0, 0); }

  void closeRoot() {
    EXPECT_EQ(root_->Release(), 0u);
    root_ = nullptr;
  }

  void add(std::wstring const& name) {
    EXPECT_TRUE(opened(KestOleCreateStream(root_, units(name.c_str()), nullptr, nullptr, 0)));
  }

  // Whether the call failed with `code` (0: any failure) and its text.
  ::testing::AssertionResult failed(bool succeeded, long code = 0) {
    long const got = code_;
    bool const hasText = text_ != nullptr;
    std::string const text = text_ ? text_ : "", expected = kest::test::systemText(got & 0xFFFF);
    code_ = 99;
    text_ = nullptr;
    // Wine has no text for some low words (0xFC); the text is then empty, never another's.
    if (succeeded || got >= 0 || (code && got != code) || !hasText || text != expected)
      return ::testing::AssertionFailure() << "0x" << std::hex << got << ": " << text;
    return ::testing::AssertionSuccess();
  }

  kest::test::TempFolder folder_;
  IStorage* root_ = nullptr;
  STATSTG record_{};
  long code_ = 99;
  char* text_ = nullptr;
};

// Any nonzero write flag opens for reading and writing, zero for reading only; a storage
// made again over one of the same name replaces it.
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
  for (int write : {0, -1}) {
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
    for (IStorage* parent : {root_, sub, root_})
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
  ASSERT_NE(createRoot(), nullptr);
  add(L"S");
  record_.type = 77;
  char buffer[4] = {};
  CKestOleEnumElements list;
  ASSERT_EQ(list.EnumElements(root_, nullptr, nullptr), 1);
  auto const refused = [&](char const* what, auto call) {
    for (bool narrow : {false, true}) {
      text_ = buffer;
      bool const result = narrow ? call("S") : call(units(L"S"));
      EXPECT_TRUE(!result && code_ == 0 && !text_) << what << narrow;
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
  EXPECT_TRUE(record_.type == 77 && list.Size() == 1);  // no record filled, the list kept
}

// A negative count would be almost 4 GiB to the platform, a null buffer with bytes to move
// would be read or written: both are refused and nothing moves. Zero bytes move fine.
TEST_F(Storage, TransfersWithNullBuffersOrNegativeCountsAreRefused) {
  ASSERT_NE(createRoot(), nullptr);
  IStream* const stream = KestOleCreateStream(root_, units(L"Data"), nullptr, nullptr, nullptr);
  ASSERT_NE(stream, nullptr);
  char buffer[16] = "abcdefghijklmno";
  std::tuple<void*, long, int> const rows[] = {
      {nullptr, 1, 0}, {nullptr, LONG_MAX, 0}, {buffer, LONG_MIN, 0}, {buffer, -1, 0},  //
      {buffer, 0, 1},                                                                   //
  };
  for (auto const& [data, count, result] : rows) {
    SCOPED_TRACE(std::to_string(count) + (data ? " buffer" : " null"));
    EXPECT_EQ(KestOleWriteStream(stream, data, count, &code_, &text_), result);
    EXPECT_TRUE(code_ == 0 && !text_);
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

// Without a name the platform makes a temporary file, which the last release must remove.
TEST_F(Storage, UnnamedCompoundFilesLeaveNoTemporaryFileBehind) {
  ASSERT_NE(root_ = KestOleCreateStgFile(static_cast<char const*>(nullptr), 0, 0), nullptr);
  ASSERT_EQ(root_->Stat(&record_, STATFLAG_DEFAULT), S_OK);
  std::wstring const file = record_.pwcsName;
  CoTaskMemFree(record_.pwcsName);
  EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);  // where the test looks
  add(L"Data");
  closeRoot();
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ClsidText, FixedWidthUpperCaseInFieldOrder) {
  GUID const id = {0xFEDCBA9, 0x7654, 0x321, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  EXPECT_STREQ(KestOleCLSIDAsString(id), "{0FEDCBA9-7654-0321-0123-456789ABCDEF}");
}

// High bytes are the ANSI code page's characters.
TEST_F(Storage, NarrowNamesReachTheSameElementsAsWideOnes) {
  if (GetACP() != 1252) GTEST_SKIP() << "the names below are in code page 1252";
  ASSERT_NE(root_ = KestOleCreateStgFile(folder_.file("a.stg").c_str(), &code_, &text_), nullptr);
  ASSERT_TRUE(opened(KestOleCreateStorage(root_, "Folder", nullptr, &code_, &text_)));
  IStorage* folder = KestOleOpenStorage(1, root_, "Folder", nullptr, &code_, &text_);
  ASSERT_NE(folder, nullptr);
  EXPECT_TRUE(opened(KestOleCreateStream(folder, "\xE4pfel", nullptr, &code_, &text_)));
  EXPECT_EQ(KestOleFindElement(folder, units(L"\u00E4pfel"), 0, record_, &code_, &text_), 1);
  CoTaskMemFree(record_.pwcsName);
  EXPECT_EQ(KestOleDeleteElement(folder, "\xE4pfel", &code_, &text_), 1);
  EXPECT_TRUE(opened(folder));
}

// No ANSI name fails to convert, so the converter gets a code page that does not exist. The
// overloads convert first, so a raised error leaves the caller's code and text untouched.
TEST(WideNames, FailedConversionRaisesTheSystemErrorAsAnHresult) {
  try {
    kest::WideName name("abc", 12345);
    FAIL() << "no exception";
  } catch (_com_error const& error) {
    EXPECT_EQ(error.Error(), HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
  }
}

// Types match by equality. Wine's enumerator clears the record it is given on no fetch too.
TEST_F(Storage, LookupComparesCodeUnitsAndTypesExactlyAndKeepsTheRecordWhenNotFound) {
  ASSERT_NE(createRoot(), nullptr);
  add(L"Data");
  ASSERT_TRUE(opened(KestOleCreateStorage(root_, units(L"Folder"), nullptr, nullptr, nullptr)));
  unsigned long const storage = STGTY_STORAGE, either = STGTY_STORAGE | STGTY_STREAM;
  std::tuple<wchar_t const*, unsigned long, int> const cases[] = {
      {L"Data", 0, 1}, {L"Folder", storage, 1}, {L"Data", storage, 0}, {L"Folder", either, 0},  //
      {L"data", 0, 0}, {L"Dat", 0, 0},          {L"Data ", 0, 0},      {nullptr, 0, 0},         //
  };
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

LPVOID WINAPI noMemoryToGrow(HANDLE, DWORD, LPVOID, SIZE_T) { return nullptr; }

// Copies share one list, emptied or filled through any copy; past its ends it gives a zeroed
// record. A fill out of memory part-way (past 16 records) is reported and keeps nothing.
TEST_F(Storage, CopiesOfAnElementListShareOneListAndAFillOutOfMemoryKeepsNothing) {
  ASSERT_NE(createRoot(), nullptr);
  add(L"One");
  add(L"Two");
  CKestOleEnumElements source;
  ASSERT_EQ(source.EnumElements(root_, nullptr, nullptr), 1);
  CKestOleEnumElements copy(source);
  copy.FreeElements();
  EXPECT_TRUE(source.Size() == 0 && !source.GetAt(0).type);  // emptied: nothing left at 0
  ASSERT_EQ(copy.EnumElements(root_, nullptr, nullptr), 1);
  ASSERT_EQ(source.Size(), 2u);
  EXPECT_EQ(std::wstring(source.GetAt(0).pwcsName) + source.GetAt(1).pwcsName, L"OneTwo");
  for (int outside : {INT_MIN, -1, 2, INT_MAX})
    EXPECT_TRUE(!source.GetAt(outside).pwcsName && !source.GetAt(outside).type) << outside;
  for (int i = 0; i < 15; ++i) add(std::to_wstring(i));
  auto* const real = reinterpret_cast<void*>(&HeapReAlloc);
  ASSERT_TRUE(kest::test::patchImport(real, reinterpret_cast<void*>(noMemoryToGrow)));
  int const listed = copy.EnumElements(root_, &code_, &text_);
  ASSERT_TRUE(kest::test::patchImport(reinterpret_cast<void*>(noMemoryToGrow), real));
  EXPECT_TRUE(listed == 0 && failed(false, E_OUTOFMEMORY) && source.Size() == 0);
}

// A storage that is its own storage opened and its own enumerator, whose Stat fails, and that
// lists "Sub" as a storage, then as a stream (no real storage holds a name twice).
#define NOT_USED(method, ...) \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return E_NOTIMPL; }
struct SelfStorage : IStorage, IEnumSTATSTG {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE OpenStorage(OLECHAR const*, IStorage*, DWORD, SNB, DWORD,
                                        IStorage** made) override {
    return *made = this, AddRef(), S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** made) override {
    return *made = this, AddRef(), S_OK;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG, STATSTG* record, ULONG* fetched) override {
    if ((*fetched = listed < 2) == 0) return S_FALSE;
    *record = STATSTG{};
    record->type = listed++ ? STGTY_STREAM : STGTY_STORAGE;
    record->pwcsName = static_cast<wchar_t*>(CoTaskMemAlloc(sizeof L"Sub"));
    return wcscpy(record->pwcsName, L"Sub"), S_OK;
  }
  NOT_USED(CreateStream, OLECHAR const*, DWORD, DWORD, DWORD, IStream**)
  NOT_USED(OpenStream, OLECHAR const*, void*, DWORD, DWORD, IStream**)
  NOT_USED(CreateStorage, OLECHAR const*, DWORD, DWORD, DWORD, IStorage**)
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
  NOT_USED(Skip, ULONG)
  NOT_USED(Reset)
  NOT_USED(Clone, IEnumSTATSTG**)

  ULONG references = 1;
  int listed = 0;
};

TEST(FakeStorage, AFailedStatReleasesTheNewStorageAndALookupPassesANameOfAnotherType) {
  SelfStorage storage;
  STATSTG record{};
  long code = 0;
  EXPECT_EQ(KestOleOpenStorage(1, &storage, units(L"Sub"), &record, &code, nullptr), nullptr);
  EXPECT_TRUE(code == E_NOTIMPL && storage.references == 1);
  EXPECT_EQ(KestOleFindElement(&storage, units(L"Sub"), STGTY_STREAM, record, &code, nullptr), 1);
  EXPECT_TRUE(record.type == STGTY_STREAM && storage.references == 1);
  CoTaskMemFree(record.pwcsName);
}

}  // namespace
