// Compound files, storages and streams: real files in a temporary folder, and fakes where
// the platform has to fail on cue.

#include "kest011/storage.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kest011/files.h"
#include "storage/storage_support.h"
#include "support/system_text.h"
#include "support/temp_folder.h"

namespace {

using kest::test::FakeStorage;
using kest::test::FakeStream;
using kest::test::kStale;
using kest::test::systemText;
using kest::test::TaskMemoryCount;
using kest::test::TempFolder;
using kest::test::units;

std::wstring widen(std::string const& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                  static_cast<int>(wide.size())));
  return wide;
}

// The text the library must show for a storage HRESULT: the system message of its low word.
std::string storageText(long hr) { return systemText(static_cast<unsigned long>(hr) & 0xFFFF); }

ULONG referencesOf(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class Storage : public ::testing::Test {
 protected:
  void TearDown() override {
    if (root_) root_->Release();
  }

  std::wstring path(char const* name) const { return widen(folder_.file(name)); }

  IStorage* createRoot(char const* name = "test.stg") {
    root_ = KestOleCreateStgFile(units(path(name).c_str()), &code_, &text_);
    return root_;
  }

  void closeRoot() {
    root_->Release();
    root_ = nullptr;
  }

  // Writes `data` into a new stream `name` of `parent`.
  void putStream(IStorage* parent, wchar_t const* name, std::string data) {
    IStream* stream = KestOleCreateStream(parent, units(name), nullptr, nullptr, nullptr);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(
        KestOleWriteStream(stream, &data[0], static_cast<long>(data.size()), nullptr, nullptr), 1);
    stream->Release();
  }

  TempFolder folder_;
  IStorage* root_ = nullptr;
  long code_ = 99;
  char* text_ = kStale;
};

TEST_F(Storage, TreeOfStoragesAndStreamsSurvivesReopening) {
  ASSERT_NE(createRoot(), nullptr);
  STATSTG record;
  IStorage* docs = KestOleCreateStorage(root_, units(L"Docs"), &record, &code_, &text_);
  ASSERT_NE(docs, nullptr);
  EXPECT_EQ(std::wstring(record.pwcsName), L"Docs");
  EXPECT_EQ(record.type, static_cast<DWORD>(STGTY_STORAGE));
  CoTaskMemFree(record.pwcsName);
  std::string const big(10000, 'b');  // past the platform's small-stream limit
  putStream(docs, L"Big", big);
  putStream(root_, L"Note", "a short note");
  docs->Release();
  closeRoot();

  root_ = KestOleOpenStgFile(0, units(path("test.stg").c_str()), &code_, &text_);
  ASSERT_NE(root_, nullptr);
  docs = KestOleOpenStorage(0, root_, units(L"Docs"), nullptr, &code_, &text_);
  ASSERT_NE(docs, nullptr);
  IStream* stream = KestOleOpenStream(0, docs, units(L"Big"), &record, &code_, &text_);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(std::wstring(record.pwcsName), L"Big");
  EXPECT_EQ(record.type, static_cast<DWORD>(STGTY_STREAM));
  EXPECT_EQ(record.cbSize.QuadPart, big.size());
  CoTaskMemFree(record.pwcsName);
  std::string got(big.size(), '\0');
  EXPECT_EQ(KestOleReadStream(stream, &got[0], static_cast<long>(got.size()), &code_, &text_), 1);
  EXPECT_EQ(got, big);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(text_, nullptr);
  stream->Release();
  docs->Release();
}

TEST_F(Storage, ReturnedInterfacesCarryOneReferenceAndTheParentKeepsItsCount) {
  ASSERT_NE(createRoot(), nullptr);
  ULONG const before = referencesOf(root_);
  STATSTG record;
  IStorage* storage = KestOleCreateStorage(root_, units(L"S"), &record, nullptr, nullptr);
  ASSERT_NE(storage, nullptr);
  CoTaskMemFree(record.pwcsName);
  IStream* stream = KestOleCreateStream(storage, units(L"T"), &record, nullptr, nullptr);
  ASSERT_NE(stream, nullptr);
  CoTaskMemFree(record.pwcsName);
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(storage->Release(), 0u);
  EXPECT_EQ(referencesOf(root_), before);
}

TEST_F(Storage, StatNamesAreTheCallersAndNothingElseIsLeftAllocated) {
  ASSERT_NE(createRoot(), nullptr);
  TaskMemoryCount memory;
  STATSTG record;
  IStream* stream = KestOleCreateStream(root_, units(L"Named"), &record, nullptr, nullptr);
  ASSERT_NE(stream, nullptr);
  stream->Release();
  EXPECT_EQ(memory.live(), 1);
  CoTaskMemFree(record.pwcsName);
  EXPECT_EQ(memory.live(), 0);
}

// The write flag: any nonzero value opens for writing, zero for reading only.
TEST_F(Storage, WriteFlagChoosesReadWriteOrReadOnly) {
  ASSERT_NE(createRoot(), nullptr);
  IStorage* sub = KestOleCreateStorage(root_, units(L"Sub"), nullptr, nullptr, nullptr);
  ASSERT_NE(sub, nullptr);
  putStream(sub, L"Data", "1234");
  sub->Release();
  closeRoot();
  char byte = 'x';
  for (int write : {5, 0}) {
    SCOPED_TRACE(write);
    root_ = KestOleOpenStgFile(write, units(path("test.stg").c_str()), &code_, &text_);
    ASSERT_NE(root_, nullptr);
    sub = KestOleOpenStorage(write, root_, units(L"Sub"), nullptr, &code_, &text_);
    ASSERT_NE(sub, nullptr);
    IStream* stream = KestOleOpenStream(write, sub, units(L"Data"), nullptr, &code_, &text_);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(KestOleWriteStream(stream, &byte, 1, &code_, &text_), write ? 1 : 0);
    IStorage* made = KestOleCreateStorage(sub, units(L"New"), nullptr, nullptr, nullptr);
    IStorage* madeInRoot = KestOleCreateStorage(root_, units(L"New"), nullptr, nullptr, nullptr);
    EXPECT_EQ(made != nullptr, write != 0);
    EXPECT_EQ(madeInRoot != nullptr, write != 0);
    for (IUnknown* object : {static_cast<IUnknown*>(made), static_cast<IUnknown*>(madeInRoot)})
      if (object) object->Release();
    stream->Release();
    sub->Release();
    closeRoot();
  }
  EXPECT_EQ(code_, STG_E_ACCESSDENIED);
  ASSERT_NE(text_, nullptr);
  EXPECT_EQ(std::string(text_), storageText(STG_E_ACCESSDENIED));
}

TEST_F(Storage, MissingFileReportsTheHresultAndTheTextOfItsLowWord) {
  IStorage* root = KestOleOpenStgFile(1, units(path("missing.stg").c_str()), &code_, &text_);
  EXPECT_EQ(root, nullptr);
  EXPECT_EQ(code_, -2147287038L);  // STG_E_FILENOTFOUND
  ASSERT_NE(text_, nullptr);
  EXPECT_EQ(std::string(text_), systemText(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(KestOleOpenStgFile(1, units(path("missing.stg").c_str()), nullptr, nullptr), nullptr);
}

TEST_F(Storage, FileThatIsNotACompoundFileFailsClearly) {
  std::wstring const name = widen(folder_.write("plain.txt", std::string(2048, 'p')));
  EXPECT_EQ(KestOleOpenStgFile(0, units(name.c_str()), &code_, &text_), nullptr);
  EXPECT_LT(code_, 0);
  ASSERT_NE(text_, nullptr);
  EXPECT_EQ(std::string(text_), storageText(code_));
}

TEST_F(Storage, SecondOpenOfAnOpenFileIsASharingConflict) {
  ASSERT_NE(createRoot(), nullptr);
  for (int write : {1, 0}) {
    EXPECT_EQ(KestOleOpenStgFile(write, units(path("test.stg").c_str()), &code_, &text_), nullptr);
    EXPECT_TRUE(code_ == STG_E_SHAREVIOLATION || code_ == STG_E_LOCKVIOLATION) << std::hex << code_;
  }
}

TEST_F(Storage, NullNamesFailWithoutCrashing) {
  ASSERT_NE(createRoot(), nullptr);
  putStream(root_, L"S", "s");
  STATSTG record;
  EXPECT_EQ(KestOleOpenStgFile(0, static_cast<unsigned short const*>(nullptr), &code_, &text_),
            nullptr);
  EXPECT_LT(code_, 0);
  EXPECT_EQ(KestOleOpenStorage(0, root_, static_cast<unsigned short const*>(nullptr), &record,
                               &code_, &text_),
            nullptr);
  EXPECT_LT(code_, 0);
  EXPECT_EQ(KestOleCreateStorage(root_, static_cast<unsigned short const*>(nullptr), &record,
                                 &code_, &text_),
            nullptr);
  EXPECT_LT(code_, 0);
  EXPECT_EQ(KestOleOpenStream(1, root_, static_cast<unsigned short const*>(nullptr), &record,
                              &code_, &text_),
            nullptr);
  EXPECT_LT(code_, 0);
  EXPECT_EQ(KestOleCreateStream(root_, static_cast<unsigned short const*>(nullptr), &record, &code_,
                                &text_),
            nullptr);
  EXPECT_LT(code_, 0);
  EXPECT_EQ(
      KestOleDeleteElement(root_, static_cast<unsigned short const*>(nullptr), &code_, &text_), 0);
  EXPECT_LT(code_, 0);
}

TEST_F(Storage, CreateReplacesAnElementOfTheSameName) {
  ASSERT_NE(createRoot(), nullptr);
  putStream(root_, L"S", "old contents");
  STATSTG record;
  IStream* stream = KestOleCreateStream(root_, units(L"S"), &record, &code_, &text_);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(record.cbSize.QuadPart, 0u);
  CoTaskMemFree(record.pwcsName);
  stream->Release();
}

TEST_F(Storage, DeleteRemovesTheElementAndReportsAMissingOne) {
  ASSERT_NE(createRoot(), nullptr);
  putStream(root_, L"Gone", "x");
  EXPECT_EQ(KestOleDeleteElement(root_, units(L"Gone"), &code_, &text_), 1);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(KestOleOpenStream(1, root_, units(L"Gone"), nullptr, &code_, &text_), nullptr);
  EXPECT_EQ(code_, STG_E_FILENOTFOUND);
  code_ = 0;
  EXPECT_EQ(KestOleDeleteElement(root_, units(L"Gone"), &code_, &text_), 0);
  EXPECT_EQ(code_, STG_E_FILENOTFOUND);
  EXPECT_EQ(std::string(text_), systemText(ERROR_FILE_NOT_FOUND));
}

TEST_F(Storage, ReadPastTheEndSucceedsAndNegativeCountsAreRefused) {
  ASSERT_NE(createRoot(), nullptr);
  IStream* stream = KestOleCreateStream(root_, units(L"S"), nullptr, nullptr, nullptr);
  ASSERT_NE(stream, nullptr);
  char data[] = "abc";
  ASSERT_EQ(KestOleWriteStream(stream, data, 3, nullptr, nullptr), 1);
  // A negative count would be almost 4 GiB to the platform: refused, nothing moved.
  EXPECT_EQ(KestOleWriteStream(stream, data, -1, &code_, &text_), 0);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(text_, nullptr);
  LARGE_INTEGER start{};
  ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
  char got[10] = {};
  EXPECT_EQ(KestOleReadStream(stream, got, -2, &code_, &text_), 0);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(KestOleReadStream(stream, got, sizeof got, &code_, &text_), 1);
  EXPECT_EQ(std::string(got), "abc");
  STATSTG record;
  ASSERT_EQ(stream->Stat(&record, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(record.cbSize.QuadPart, 3u);
  stream->Release();
}

TEST_F(Storage, StorageTextsHaveTheirOwnBuffer) {
  char* fileText = nullptr;
  unsigned long fileCode = 0;
  KestFileSize(folder_.file("missing").c_str(), &fileCode, &fileText);
  ASSERT_NE(fileText, nullptr);
  std::string const fileMessage = fileText;

  std::wstring const plain = widen(folder_.write("plain.txt", std::string(2048, 'p')));
  char* first = nullptr;
  KestOleOpenStgFile(0, units(path("missing.stg").c_str()), nullptr, &first);
  KestOleOpenStgFile(0, units(plain.c_str()), &code_, &text_);
  ASSERT_NE(text_, nullptr);
  EXPECT_NE(text_, fileText);
  EXPECT_EQ(text_, first);  // one buffer, holding the newest text
  EXPECT_EQ(std::string(text_), storageText(code_));
  EXPECT_EQ(std::string(fileText), fileMessage);
}

// ---- Stat after open or create, with fakes that fail it ----

struct OpenCase {
  char const* name;
  IUnknown* (*open)(FakeStorage& parent, STATSTG* record, long* code, char** text);
  bool stream;
};

OpenCase const kOpenCases[] = {
    {"OpenStorage",
     [](FakeStorage& parent, STATSTG* record, long* code, char** text) -> IUnknown* {
       return KestOleOpenStorage(1, &parent, units(L"x"), record, code, text);
     },
     false},
    {"CreateStorage",
     [](FakeStorage& parent, STATSTG* record, long* code, char** text) -> IUnknown* {
       return KestOleCreateStorage(&parent, units(L"x"), record, code, text);
     },
     false},
    {"OpenStream",
     [](FakeStorage& parent, STATSTG* record, long* code, char** text) -> IUnknown* {
       return KestOleOpenStream(1, &parent, units(L"x"), record, code, text);
     },
     true},
    {"CreateStream",
     [](FakeStorage& parent, STATSTG* record, long* code, char** text) -> IUnknown* {
       return KestOleCreateStream(&parent, units(L"x"), record, code, text);
     },
     true},
};

void PrintTo(OpenCase const& c, std::ostream* out) { *out << c.name; }

class StatAfterOpen : public ::testing::TestWithParam<OpenCase> {
 protected:
  void SetUp() override {
    parent_.childStorage = &storage_;
    parent_.childStream = &stream_;
    storage_.statResult = stream_.statResult = STG_E_INSUFFICIENTMEMORY;
  }

  ULONG childReferences() const {
    return GetParam().stream ? stream_.references : storage_.references;
  }

  FakeStorage parent_;
  FakeStorage storage_;
  FakeStream stream_;
  long code_ = 99;
  char* text_ = kStale;
};

TEST_P(StatAfterOpen, FailedStatReleasesTheNewInterfaceAndReportsItsCode) {
  STATSTG record;
  EXPECT_EQ(GetParam().open(parent_, &record, &code_, &text_), nullptr);
  EXPECT_EQ(code_, STG_E_INSUFFICIENTMEMORY);
  ASSERT_NE(text_, nullptr);
  EXPECT_EQ(std::string(text_), storageText(STG_E_INSUFFICIENTMEMORY));
  EXPECT_EQ(childReferences(), 1u);  // only the fake's own
  EXPECT_EQ(parent_.references, 1u);
}

TEST_P(StatAfterOpen, NoRecordMeansNoStat) {
  IUnknown* opened = GetParam().open(parent_, nullptr, &code_, &text_);
  EXPECT_NE(opened, nullptr);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(childReferences(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Storage, StatAfterOpen, ::testing::ValuesIn(kOpenCases),
                         [](auto const& info) { return std::string(info.param.name); });

// ---- Class identifiers ----

TEST(ClsidText, FixedWidthUpperCaseInFieldOrder) {
  struct {
    GUID id;
    char const* text;
  } const cases[] = {
      {{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}}, "{00000000-0000-0000-0000-000000000000}"},
      {{0x00020906, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}},
       "{00020906-0000-0000-C000-000000000046}"},
      {{0xFEDCBA98, 0x7654, 0x3210, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
       "{FEDCBA98-7654-3210-0123-456789ABCDEF}"},
      {{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
       "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"},
  };
  char const* const first = KestOleCLSIDAsString(cases[0].id);
  for (auto const& c : cases) {
    EXPECT_EQ(KestOleCLSIDAsString(c.id), first);  // one buffer, holding the newest text
    EXPECT_STREQ(first, c.text);
  }
}

}  // namespace
