#include <new>
#include <vector>

#include "kest011/storage.h"
#include "storage/storage_report.h"

namespace kest {
namespace {

void freeName(STATSTG& record) {
  CoTaskMemFree(record.pwcsName);
  record.pwcsName = nullptr;
}

}  // namespace

// One snapshot of element records, shared by a CKestOleEnumElements and its copies. The
// records' names come from the task allocator and belong to the list.
struct ElementList {
  std::vector<STATSTG> records;
  long owners = 1;

  ElementList* share() {
    ++owners;
    return this;
  }

  // Drops one owner; the last one frees the names and the list.
  void release() {
    if (--owners > 0) return;
    freeNames();
    delete this;
  }

  // Empties the list; the vector keeps its room for the next fill.
  void freeNames() {
    for (STATSTG& record : records) freeName(record);
    records.clear();
  }
};

}  // namespace kest

namespace {

using kest::freeName;
using kest::Owned;
using kest::StorageErrorReport;

// Asks `storage` for its element enumerator; false (reported) when there is none.
bool openElements(IStorage* storage, Owned<IEnumSTATSTG>& elements,
                  StorageErrorReport const& report) {
  IEnumSTATSTG* enumerator = nullptr;
  HRESULT const hr = storage->EnumElements(0, nullptr, 0, &enumerator);
  if (FAILED(hr)) return report.failed(false, hr);
  elements.reset(enumerator);
  return true;
}

// Fetches one record; false at the end, and when the enumerator fails part-way (that only
// ends the walk).
bool nextElement(IEnumSTATSTG& elements, STATSTG& record) {
  ULONG fetched = 0;
  HRESULT const hr = elements.Next(1, &record, &fetched);
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

CKestOleEnumElements::CKestOleEnumElements() : m_pElements(new kest::ElementList) {}

CKestOleEnumElements::CKestOleEnumElements(CKestOleEnumElements const& other)
    : m_pElements(other.m_pElements->share()) {}

CKestOleEnumElements& CKestOleEnumElements::operator=(CKestOleEnumElements const& other) {
  kest::ElementList* const previous = m_pElements;
  m_pElements = other.m_pElements->share();
  previous->release();
  return *this;
}

CKestOleEnumElements::~CKestOleEnumElements() { m_pElements->release(); }

int CKestOleEnumElements::EnumElements(IStorage* storage, long* code, char** text) {
  StorageErrorReport report(code, text);
  FreeElements();
  Owned<IEnumSTATSTG> elements;
  if (!openElements(storage, elements, report)) return 0;
  std::vector<STATSTG>& records = m_pElements->records;
  STATSTG record;
  while (nextElement(*elements, record)) {
    try {
      records.push_back(record);
    } catch (std::bad_alloc const&) {
      // A partial list would pass for the whole storage: report it and keep nothing.
      freeName(record);
      FreeElements();
      return report.failed(0, E_OUTOFMEMORY);
    }
  }
  return 1;
}

void CKestOleEnumElements::FreeElements() { m_pElements->freeNames(); }

unsigned int CKestOleEnumElements::Size() {
  return static_cast<unsigned int>(m_pElements->records.size());
}

STATSTG const& CKestOleEnumElements::GetAt(int index) {
  static STATSTG const kNoElement = {};
  if (index < 0 || static_cast<unsigned int>(index) >= Size()) return kNoElement;
  return m_pElements->records[index];
}

int KestOleFindElement(IStorage* storage, unsigned short const* name, unsigned long type,
                       STATSTG& record, long* code, char** text) {
  StorageErrorReport report(code, text);
  Owned<IEnumSTATSTG> elements;
  if (!openElements(storage, elements, report)) return 0;
  // Records are fetched aside, so the caller's record changes only when the element is
  // found (some enumerators clear the record even when they fetch nothing).
  STATSTG candidate;
  while (nextElement(*elements, candidate)) {
    // A name match of another type does not end the walk.
    if (isSameName(candidate.pwcsName, name) && (type == 0 || candidate.type == type)) {
      record = candidate;
      return 1;
    }
    freeName(candidate);
  }
  return 0;
}
