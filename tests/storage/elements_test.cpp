// Element lists and lookup on real storages, and on fake enumerators that misbehave.

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "kest011/storage.h"
#include "storage/storage_support.h"
#include "support/system_text.h"

namespace {

using kest::test::FakeElements;
using kest::test::FakeStorage;
using kest::test::kStale;
using kest::test::systemText;
using kest::test::TaskMemoryCount;
using kest::test::units;

// A compound file in memory, with streams and storages made on request.
class Elements : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes_), S_OK);
    ASSERT_EQ(StgCreateDocfileOnILockBytes(
                  bytes_, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root_),
              S_OK);
  }

  void TearDown() override {
    if (root_) root_->Release();
    if (bytes_) bytes_->Release();
  }

  void addStream(wchar_t const* name) {
    IStream* stream = KestOleCreateStream(root_, units(name), nullptr, nullptr, nullptr);
    ASSERT_NE(stream, nullptr);
    stream->Release();
  }

  void addStorage(wchar_t const* name) {
    IStorage* storage = KestOleCreateStorage(root_, units(name), nullptr, nullptr, nullptr);
    ASSERT_NE(storage, nullptr);
    storage->Release();
  }

  int find(wchar_t const* name, unsigned long type) {
    int const found = KestOleFindElement(root_, units(name), type, record_, &code_, &text_);
    if (found) {
      CoTaskMemFree(record_.pwcsName);
      record_.pwcsName = nullptr;
    }
    return found;
  }

  ILockBytes* bytes_ = nullptr;
  IStorage* root_ = nullptr;
  STATSTG record_{};
  long code_ = 99;
  char* text_ = kStale;
};

std::set<std::wstring> namesOf(CKestOleEnumElements& list) {
  std::set<std::wstring> names;
  for (unsigned i = 0; i < list.Size(); ++i) names.insert(list.GetAt(static_cast<int>(i)).pwcsName);
  return names;
}

TEST_F(Elements, EmptyStorageGivesAnEmptyList) {
  CKestOleEnumElements list;
  EXPECT_EQ(list.EnumElements(root_, &code_, &text_), 1);
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(text_, nullptr);
}

TEST_F(Elements, ThousandsOfElementsAreListedAndFound) {
  int const count = 2000;
  for (int i = 0; i < count; ++i) addStream((L"Element " + std::to_wstring(i)).c_str());
  CKestOleEnumElements list;
  ASSERT_EQ(list.EnumElements(root_, &code_, &text_), 1);
  EXPECT_EQ(list.Size(), static_cast<unsigned>(count));
  EXPECT_EQ(namesOf(list).size(), static_cast<size_t>(count));
  EXPECT_EQ(find((L"Element " + std::to_wstring(count - 1)).c_str(), STGTY_STREAM), 1);
  EXPECT_EQ(find((L"Element " + std::to_wstring(count)).c_str(), 0), 0);
  EXPECT_EQ(code_, 0);
}

TEST_F(Elements, NamesAreFreedOnceByTheLastOwnerOfASharedList) {
  addStream(L"One");
  addStream(L"Two");
  TaskMemoryCount memory;
  {
    CKestOleEnumElements list;
    ASSERT_EQ(list.EnumElements(root_, nullptr, nullptr), 1);
    ASSERT_EQ(list.EnumElements(root_, nullptr, nullptr), 1);  // frees the first fill
    EXPECT_EQ(memory.live(), 2);
    CKestOleEnumElements assigned;
    {
      CKestOleEnumElements copy(list);
      EXPECT_EQ(namesOf(copy), (std::set<std::wstring>{L"One", L"Two"}));
      ASSERT_EQ(assigned.EnumElements(root_, nullptr, nullptr), 1);
      EXPECT_EQ(memory.live(), 4);
      assigned = copy;  // drops its own list
      assigned = assigned;
      EXPECT_EQ(memory.live(), 2);
    }
    list.FreeElements();  // empties the one list all three share
    EXPECT_EQ(assigned.Size(), 0u);
    EXPECT_EQ(memory.live(), 0);
    ASSERT_EQ(list.EnumElements(root_, nullptr, nullptr), 1);
    EXPECT_EQ(assigned.Size(), 2u);
  }
  EXPECT_EQ(memory.live(), 0);
}

TEST_F(Elements, CopyOutlivesItsSource) {
  addStream(L"Kept");
  auto* source = new CKestOleEnumElements;
  ASSERT_EQ(source->EnumElements(root_, nullptr, nullptr), 1);
  CKestOleEnumElements copy(*source);
  delete source;
  ASSERT_EQ(copy.Size(), 1u);
  EXPECT_EQ(std::wstring(copy.GetAt(0).pwcsName), L"Kept");
}

TEST_F(Elements, IndexOutOfRangeGivesAnEmptyRecord) {
  addStream(L"Only");
  CKestOleEnumElements list;
  ASSERT_EQ(list.EnumElements(root_, nullptr, nullptr), 1);
  for (int index : {-1, 1, 1000}) {
    EXPECT_EQ(list.GetAt(index).pwcsName, nullptr);
    EXPECT_EQ(list.GetAt(index).type, 0u);
  }
}

TEST_F(Elements, LookupMatchesExactNamesAndTypesByEquality) {
  addStream(L"Data");
  addStorage(L"Folder");
  struct {
    wchar_t const* name;
    unsigned long type;
    int found;
  } const cases[] = {
      {L"Data", 0, 1},
      {L"Folder", 0, 1},
      {L"Data", STGTY_STREAM, 1},
      {L"Folder", STGTY_STORAGE, 1},
      {L"Data", STGTY_STORAGE, 0},
      {L"Folder", STGTY_STREAM, 0},
      {L"Folder", STGTY_STORAGE | STGTY_STREAM, 0},  // equality, not a mask
      {L"data", 0, 0},
      {L"Dat", 0, 0},
      {L"Data ", 0, 0},
      {nullptr, 0, 0},
  };
  for (auto const& c : cases) {
    SCOPED_TRACE(c.name ? c.name : L"(null)");
    code_ = 99;
    text_ = kStale;
    EXPECT_EQ(find(c.name, c.type), c.found);
    EXPECT_EQ(code_, 0);
    EXPECT_EQ(text_, nullptr);
  }
}

TEST_F(Elements, FoundNameIsTheCallersAndTheOthersAreFreed) {
  for (wchar_t const* name : {L"A", L"B", L"C", L"D"}) addStream(name);
  TaskMemoryCount memory;
  ASSERT_EQ(KestOleFindElement(root_, units(L"C"), 0, record_, &code_, &text_), 1);
  EXPECT_EQ(std::wstring(record_.pwcsName), L"C");
  EXPECT_EQ(memory.live(), 1);
  CoTaskMemFree(record_.pwcsName);
  EXPECT_EQ(KestOleFindElement(root_, units(L"Z"), 0, record_, &code_, &text_), 0);
  EXPECT_EQ(memory.live(), 0);
}

// Wine's enumerator clears the record it is given even when it fetches nothing.
TEST_F(Elements, UnsuccessfulLookupLeavesTheRecordAlone) {
  record_.type = 77;
  record_.cbSize.QuadPart = 1234;
  EXPECT_EQ(find(L"Anything", 0), 0);
  addStream(L"Something");
  EXPECT_EQ(find(L"Anything", 0), 0);
  EXPECT_EQ(record_.type, 77u);
  EXPECT_EQ(record_.cbSize.QuadPart, 1234u);
}

// ---- Enumerators that fail ----

class FailingElements : public ::testing::Test {
 protected:
  void SetUp() override { storage_.elements = &elements_; }

  FakeStorage storage_;
  FakeElements elements_;
  STATSTG record_{};
  long code_ = 99;
  char* text_ = kStale;
};

TEST_F(FailingElements, NoEnumeratorEmptiesTheListAndIsReported) {
  elements_.elements = {{L"x", STGTY_STREAM}};
  CKestOleEnumElements list;
  ASSERT_EQ(list.EnumElements(&storage_, nullptr, nullptr), 1);
  ASSERT_EQ(list.Size(), 1u);
  storage_.enumResult = STG_E_ACCESSDENIED;
  EXPECT_EQ(list.EnumElements(&storage_, &code_, &text_), 0);
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(code_, STG_E_ACCESSDENIED);
  EXPECT_EQ(std::string(text_), systemText(ERROR_ACCESS_DENIED));
  code_ = 0;
  EXPECT_EQ(KestOleFindElement(&storage_, units(L"x"), 0, record_, &code_, &text_), 0);
  EXPECT_EQ(code_, STG_E_ACCESSDENIED);
}

TEST_F(FailingElements, CodeWithoutSystemTextLeavesTheBufferAsItWas) {
  char* earlier = nullptr;
  storage_.enumResult = STG_E_ACCESSDENIED;
  CKestOleEnumElements list;
  list.EnumElements(&storage_, nullptr, &earlier);
  ASSERT_NE(earlier, nullptr);
  std::string const before = earlier;
  long const noMessage = static_cast<long>(0x8004FFF1UL);
  ASSERT_EQ(systemText(0xFFF1), "");
  storage_.enumResult = noMessage;
  EXPECT_EQ(list.EnumElements(&storage_, &code_, &text_), 0);
  EXPECT_EQ(code_, noMessage);
  EXPECT_EQ(text_, earlier);
  EXPECT_EQ(std::string(text_), before);
}

TEST_F(FailingElements, FailureMidwayEndsTheListQuietly) {
  elements_.elements = {{L"a", STGTY_STREAM}, {L"b", STGTY_STREAM}};
  elements_.endResult = STG_E_READFAULT;
  CKestOleEnumElements list;
  EXPECT_EQ(list.EnumElements(&storage_, &code_, &text_), 1);
  EXPECT_EQ(list.Size(), 2u);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(elements_.references, 1u);  // the enumerator was released
  elements_.next = 0;
  EXPECT_EQ(KestOleFindElement(&storage_, units(L"c"), 0, record_, &code_, &text_), 0);
  EXPECT_EQ(code_, 0);
  EXPECT_EQ(text_, nullptr);
  EXPECT_EQ(elements_.references, 1u);
}

TEST_F(FailingElements, NameMatchOfTheWrongTypeDoesNotEndTheWalk) {
  elements_.elements = {{L"Twin", STGTY_STREAM}, {L"Twin", STGTY_STORAGE}, {L"Last", STGTY_STREAM}};
  TaskMemoryCount memory;
  ASSERT_EQ(KestOleFindElement(&storage_, units(L"Twin"), STGTY_STORAGE, record_, &code_, &text_),
            1);
  EXPECT_EQ(record_.type, static_cast<DWORD>(STGTY_STORAGE));
  EXPECT_EQ(elements_.next, 2u);  // stopped at the match
  EXPECT_EQ(memory.live(), 1);
  CoTaskMemFree(record_.pwcsName);
  EXPECT_EQ(elements_.references, 1u);
}

}  // namespace
