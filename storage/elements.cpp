#include <stdint.h>

#include "frame/allocation.h"
#include "frame/shared_holder.h"
#include "kest011/storage.h"
#include "storage/storage_report.h"

namespace kest {
namespace {

void freeName(STATSTG& record) {
  CoTaskMemFree(record.pwcsName);
  record.pwcsName = nullptr;
}

// The room of the first fill; each later growth doubles it.
constexpr unsigned int kFirstRoom = 16;

}  // namespace

// One snapshot of element records, shared by a CKestOleEnumElements and its copies, which
// count themselves in the holder; the last of them to let go frees the names and the list.
// The records' names come from the task allocator and belong to the list.
struct ElementList final : SharedHolder {
  ElementList() : SharedHolder(destroyList) {}

  STATSTG* records = nullptr;
  unsigned int count = 0;
  unsigned int room = 0;

  // Adds `record`, name included; false (and nothing added) without memory for it.
  bool append(STATSTG const& record) {
    if (count == room && !grow()) return false;
    records[count++] = record;
    return true;
  }

  // Empties the list; the array keeps its room for the next fill.
  void freeNames() {
    for (unsigned int i = 0; i < count; ++i) freeName(records[i]);
    count = 0;
  }

 private:
  bool grow() {
    unsigned int const wanted = room ? room * 2 : kFirstRoom;
    if (wanted < room || size_t{wanted} > SIZE_MAX / sizeof(STATSTG)) return false;
    void* const grown = reallocate(records, wanted * sizeof(STATSTG));
    if (!grown) return false;
    records = static_cast<STATSTG*>(grown);
    room = wanted;
    return true;
  }

  static void destroyList(SharedHolder* holder) {
    ElementList* const list = static_cast<ElementList*>(holder);
    list->freeNames();
    deallocate(list->records);
    destroy(list);
  }
};

}  // namespace kest

namespace {

using kest::ElementList;
using kest::freeName;
using kest::StorageErrorReport;

// Asks `storage` for its element enumerator; false (reported) when there is none.
bool openElements(IStorage* storage, kest::ComPtr<IEnumSTATSTG>& elements,
                  StorageErrorReport const& report) {
  HRESULT const hr = storage->EnumElements(0, nullptr, 0, elements.put());
  if (FAILED(hr)) return report.fail(false, hr);
  return true;
}

// Fetches one record; false at the end, and when the enumerator fails part-way (that only
// ends the walk).
bool nextElement(kest::ComPtr<IEnumSTATSTG> const& elements, STATSTG& record) {
  ULONG fetched = 0;
  HRESULT const hr = elements.get()->Next(1, &record, &fetched);
  return SUCCEEDED(hr) && fetched == 1;
}

// The same code units in the same order, nothing folded; null names equal nothing.
bool isSameName(wchar_t const* stored, unsigned short const* wanted) {
  if (!stored || !wanted) return false;
  for (; *stored == *wanted; ++stored, ++wanted)
    if (*stored == 0) return true;
  return false;
}

}  // namespace

// Without memory for the list the object starts without one; EnumElements tries again.
KEST_DEFINE_ALLOCATION(CKestOleEnumElements)

CKestOleEnumElements::CKestOleEnumElements() : m_pElements(kest::create<ElementList>()) {}

// The list may be null: one that could not be allocated.
CKestOleEnumElements::CKestOleEnumElements(CKestOleEnumElements const& other)
    : m_pElements(kest::shareHolder(other.m_pElements)) {}

CKestOleEnumElements& CKestOleEnumElements::operator=(CKestOleEnumElements const& other) {
  // Shared before the old list is dropped, so that assigning an object to itself keeps it.
  ElementList* previous = m_pElements;
  m_pElements = kest::shareHolder(other.m_pElements);
  kest::dropHolder(previous);
  return *this;
}

CKestOleEnumElements::~CKestOleEnumElements() { kest::dropHolder(m_pElements); }

int CKestOleEnumElements::EnumElements(IStorage* storage, long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!storage) return 0;
  FreeElements();
  if (!m_pElements && !(m_pElements = kest::create<ElementList>())) return report.outOfMemory(0);
  kest::ComPtr<IEnumSTATSTG> elements;
  if (!openElements(storage, elements, report)) return 0;
  STATSTG record;
  while (nextElement(elements, record)) {
    if (!m_pElements->append(record)) {
      // A partial list would pass for the whole storage: report it and keep nothing.
      freeName(record);
      FreeElements();
      return report.outOfMemory(0);
    }
  }
  return 1;
}

void CKestOleEnumElements::FreeElements() {
  if (m_pElements) m_pElements->freeNames();
}

unsigned int CKestOleEnumElements::Size() { return m_pElements ? m_pElements->count : 0; }

STATSTG const& CKestOleEnumElements::GetAt(int index) {
  static STATSTG const kNoElement = {};
  if (index < 0 || static_cast<unsigned int>(index) >= Size()) return kNoElement;
  return m_pElements->records[index];
}

int KestOleFindElement(IStorage* storage, unsigned short const* name, unsigned long type,
                       STATSTG& record, long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!storage) return 0;
  kest::ComPtr<IEnumSTATSTG> elements;
  if (!openElements(storage, elements, report)) return 0;
  // Records are fetched aside, so the caller's record changes only when the element is
  // found (some enumerators clear the record even when they fetch nothing).
  STATSTG candidate;
  while (nextElement(elements, candidate)) {
    // A name match of another type does not end the walk.
    if (isSameName(candidate.pwcsName, name) && (type == 0 || candidate.type == type)) {
      record = candidate;
      return 1;
    }
    freeName(candidate);
  }
  return 0;
}
