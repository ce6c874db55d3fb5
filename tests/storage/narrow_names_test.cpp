// Narrow names: converted from the ANSI code page and handed to the wide forms.

#include <comdef.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kest011/storage.h"
#include "storage/storage_support.h"
#include "storage/wide_name.h"
#include "support/temp_folder.h"

namespace {

using kest::WideName;
using kest::test::kStale;
using kest::test::TempFolder;
using kest::test::units;

class NarrowNames : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = KestOleCreateStgFile(folder_.file("narrow.stg").c_str(), &code_, &text_);
    ASSERT_NE(root_, nullptr);
  }

  void TearDown() override {
    if (root_) root_->Release();
  }

  TempFolder folder_;
  IStorage* root_ = nullptr;
  long code_ = 99;
  char* text_ = kStale;
};

TEST_F(NarrowNames, EveryOverloadReachesTheSameElementsAsItsWideForm) {
  STATSTG record;
  IStorage* storage = KestOleCreateStorage(root_, "Folder", &record, &code_, &text_);
  ASSERT_NE(storage, nullptr);
  EXPECT_EQ(std::wstring(record.pwcsName), L"Folder");
  CoTaskMemFree(record.pwcsName);
  IStream* stream = KestOleCreateStream(storage, "Page", nullptr, &code_, &text_);
  ASSERT_NE(stream, nullptr);
  stream->Release();
  storage->Release();

  storage = KestOleOpenStorage(1, root_, "Folder", nullptr, &code_, &text_);
  ASSERT_NE(storage, nullptr);
  stream = KestOleOpenStream(0, storage, "Page", nullptr, &code_, &text_);
  ASSERT_NE(stream, nullptr);
  stream->Release();
  EXPECT_EQ(KestOleFindElement(storage, "Page", STGTY_STREAM, record, &code_, &text_), 1);
  CoTaskMemFree(record.pwcsName);
  EXPECT_EQ(KestOleDeleteElement(storage, "Page", &code_, &text_), 1);
  EXPECT_EQ(KestOleOpenStream(0, storage, units(L"Page"), nullptr, &code_, &text_), nullptr);
  EXPECT_EQ(code_, STG_E_FILENOTFOUND);
  storage->Release();

  root_->Release();
  root_ = KestOleOpenStgFile(0, folder_.file("narrow.stg").c_str(), &code_, &text_);
  EXPECT_NE(root_, nullptr);
  EXPECT_EQ(KestOleOpenStgFile(0, folder_.file("missing.stg").c_str(), &code_, &text_), nullptr);
  EXPECT_EQ(code_, STG_E_FILENOTFOUND);
}

TEST_F(NarrowNames, NullAndEmptyNamesReachTheWideFormsAsNullAndEmpty) {
  long wideCode = 0;
  struct {
    char const* narrow;
    wchar_t const* wide;
  } const cases[] = {{nullptr, nullptr}, {"", L""}};
  for (auto const& c : cases) {
    SCOPED_TRACE(c.narrow ? "empty" : "null");
    EXPECT_EQ(KestOleOpenStream(1, root_, c.narrow, nullptr, &code_, &text_), nullptr);
    EXPECT_EQ(KestOleOpenStream(1, root_, units(c.wide), nullptr, &wideCode, nullptr), nullptr);
    EXPECT_EQ(code_, wideCode);
    EXPECT_LT(code_, 0);
    STATSTG record{};
    EXPECT_EQ(KestOleFindElement(root_, c.narrow, 0, record, &code_, &text_), 0);
  }
}

TEST_F(NarrowNames, HighBytesAreTheAnsiCodePagesCharacters) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs ANSI code page 1252, not " << GetACP();
  IStream* stream = KestOleCreateStream(root_, "\xE4pfel", nullptr, &code_, &text_);
  ASSERT_NE(stream, nullptr);
  stream->Release();
  STATSTG record;
  ASSERT_EQ(KestOleFindElement(root_, units(L"\u00E4pfel"), 0, record, &code_, &text_), 1);
  CoTaskMemFree(record.pwcsName);
  ASSERT_EQ(KestOleFindElement(root_, "\xE4pfel", 0, record, &code_, &text_), 1);
  CoTaskMemFree(record.pwcsName);
  EXPECT_EQ(KestOleFindElement(root_, "\xC4pfel", 0, record, &code_, &text_), 0);
}

// No name in the ANSI code page fails to convert, so the converter is tried on a code page
// that does not exist.
TEST(WideNames, FailedConversionRaisesTheSystemErrorAsAnHresult) {
  try {
    WideName name("abc", 12345);
    FAIL() << "no exception";
  } catch (_com_error const& error) {
    EXPECT_EQ(error.Error(), HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(error.ErrorInfo(), nullptr);
  }
}

TEST(WideNames, ConvertedNamesAreCountedStrings) {
  WideName const name("Stream name");
  ASSERT_NE(name.get(), nullptr);
  BSTR const text = const_cast<BSTR>(reinterpret_cast<wchar_t const*>(name.get()));
  EXPECT_EQ(SysStringLen(text), 11u);
  EXPECT_EQ(std::wstring(text), L"Stream name");
  EXPECT_EQ(WideName(nullptr).get(), nullptr);
  EXPECT_NE(WideName("").get(), nullptr);
}

}  // namespace
