#include <cstring>

#include "frame/error_report.h"
#include "kest011/memory.h"
#include "frame/bounded_text.h"
#include "frame/shared_holder.h"

namespace {

enum State : int { kClosed = 0, kOpened = 1, kCreated = 2 };

void* const kNoView = nullptr;

// A named mapping and its view.
struct Block {
  HANDLE mapping;
  void* view;

  void release() const {
    UnmapViewOfFile(view);
    CloseHandle(mapping);
  }
};

// Maps all of `mapping` for writing and gives it a holder. On failure reports it, closes the
// mapping (clearing it) and returns null.
void* mapBlock(kest::SystemErrorReport const& report, HANDLE& mapping,
               kest::SharedHolder*& holder) {
  void* const view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
  if (!view) {
    report.lastError(kNoView);
    CloseHandle(mapping);
    mapping = nullptr;
    return kNoView;
  }
  holder = kest::Holder<Block>::adopt({mapping, view});
  if (!holder) {
    mapping = nullptr;
    return report.fail(kNoView, ERROR_NOT_ENOUGH_MEMORY, ERROR_NOT_ENOUGH_MEMORY);
  }
  return view;
}

}  // namespace

CKestSharedMemory::CKestSharedMemory()
    : m_nState(kClosed),
      m_szName(),
      m_dwSize(0),
      m_hMapping(nullptr),
      m_pView(nullptr),
      m_pHolder(nullptr) {}

CKestSharedMemory::CKestSharedMemory(CKestSharedMemory const& other) : CKestSharedMemory() {
  *this = other;
}

CKestSharedMemory& CKestSharedMemory::operator=(CKestSharedMemory const& other) {
  if (this == &other) return *this;
  Close();
  m_nState = other.m_nState;
  std::memcpy(m_szName, other.m_szName, sizeof m_szName);
  m_dwSize = other.m_dwSize;
  m_hMapping = other.m_hMapping;
  m_pView = other.m_pView;
  m_pHolder = kest::shareHolder(other.m_pHolder);
  return *this;
}

CKestSharedMemory::~CKestSharedMemory() { Close(); }

void* CKestSharedMemory::Create(char const* name, unsigned long size, unsigned long* code,
                                char** text) {
  kest::SystemErrorReport report(code, text);
  if (m_nState != kClosed || !name || !kest::fits(m_szName, name) || Exist(name)) return kNoView;
  Close();
  DWORD const sizeBefore = m_dwSize;
  m_dwSize = size;
  SetLastError(NO_ERROR);
  m_hMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
  if (!m_hMapping) return report.lastError(kNoView);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // Someone made the block since Exist looked: it holds their data, so it is refused as
    // a name in use, the block and this object both left as they were.
    CloseHandle(m_hMapping);
    m_hMapping = nullptr;
    m_dwSize = sizeBefore;
    return kNoView;
  }
  m_pView = mapBlock(report, m_hMapping, m_pHolder);
  if (!m_pView) return kNoView;
  m_nState = kCreated;
  kest::copyCut(m_szName, name);
  std::memset(m_pView, 0, size);
  return m_pView;
}

void* CKestSharedMemory::Open(char const* name, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (m_nState != kClosed || !name || !kest::fits(m_szName, name)) return kNoView;
  Close();
  m_dwSize = 0;
  m_hMapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  if (!m_hMapping) return report.lastError(kNoView);
  m_pView = mapBlock(report, m_hMapping, m_pHolder);
  if (!m_pView) return kNoView;
  m_nState = kOpened;
  kest::copyCut(m_szName, name);
  return m_pView;
}

int CKestSharedMemory::Exist(char const* name) {
  HANDLE const mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return 0;
  CloseHandle(mapping);
  return 1;
}

void CKestSharedMemory::Close() {
  kest::dropHolder(m_pHolder);
  m_nState = kClosed;
  m_pView = nullptr;
  m_hMapping = nullptr;
  std::memset(m_szName, 0, sizeof m_szName);
}

unsigned long CKestSharedMemory::Size() { return m_dwSize; }

CKestSharedMemory::operator unsigned char*() const { return static_cast<unsigned char*>(m_pView); }
