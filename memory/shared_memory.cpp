#include <string.h>

#include "frame/allocation.h"
#include "frame/bounded_text.h"
#include "frame/error_report.h"
#include "frame/scoped_resource.h"
#include "frame/shared_holder.h"
#include "kest011/memory.h"

namespace {

enum State : int { kClosed = 0, kOpened = 1, kCreated = 2 };

void* const kNoView = nullptr;

// A named mapping and its view, as the holder keeps them: the view closes first.
struct Block {
  kest::KernelHandle mapping;
  kest::MappedView view;
};

// Maps all of the block's mapping for writing and, on success, hands mapping and view to a
// new holder and to the members. On failure reports it and returns null; `block` then
// closes what it holds when it goes.
void* mapBlock(kest::SystemErrorReport const& report, Block& block, kest::SharedHolder*& holder,
               HANDLE& heldMapping, void*& heldView) {
  block.view.reset(MapViewOfFile(block.mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  if (!block.view) return report.lastError(kNoView);
  HANDLE const mapping = block.mapping.get();
  void* const view = block.view.get();
  holder = kest::Holder<Block>::adopt(block);
  if (!holder) return report.outOfMemory(kNoView);
  heldMapping = mapping;
  heldView = view;
  return heldView;
}

// Names are kept whole, so one that is missing or does not fit is refused before any call.
bool isUsableName(char const* name, char const (&member)[MAX_PATH]) {
  return !kest::isMissing(name) && kest::fits(member, name);
}

}  // namespace

KEST_DEFINE_ALLOCATION(CKestSharedMemory)

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
  memcpy(m_szName, other.m_szName, sizeof m_szName);
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
  if (m_nState != kClosed || !isUsableName(name, m_szName) || Exist(name)) return kNoView;
  Close();
  DWORD const sizeBefore = m_dwSize;
  m_dwSize = size;
  SetLastError(NO_ERROR);
  Block block;
  block.mapping.reset(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name));
  if (!block.mapping) return report.lastError(kNoView);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // Someone made the block since Exist looked: it holds their data, so it is refused as
    // a name in use, the block and this object both left as they were.
    m_dwSize = sizeBefore;
    return kNoView;
  }
  // A new section of the paging file is zero-filled by the system, and one that existed was
  // refused above: writing zeros would only commit every page of the block at once.
  if (!mapBlock(report, block, m_pHolder, m_hMapping, m_pView)) return kNoView;
  m_nState = kCreated;
  kest::copyIfFits(m_szName, name);  // it fits: checked before anything was made
  return m_pView;
}

void* CKestSharedMemory::Open(char const* name, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (m_nState != kClosed || !isUsableName(name, m_szName)) return kNoView;
  Close();
  m_dwSize = 0;
  Block block;
  block.mapping.reset(OpenFileMappingA(FILE_MAP_WRITE, FALSE, name));
  if (!block.mapping) return report.lastError(kNoView);
  if (!mapBlock(report, block, m_pHolder, m_hMapping, m_pView)) return kNoView;
  m_nState = kOpened;
  kest::copyIfFits(m_szName, name);  // it fits: checked before anything was opened
  return m_pView;
}

int CKestSharedMemory::Exist(char const* name) {
  if (kest::isMissing(name)) return 0;
  kest::KernelHandle const mapping(OpenFileMappingA(FILE_MAP_WRITE, FALSE, name));
  return mapping ? 1 : 0;
}

void CKestSharedMemory::Close() {
  kest::dropHolder(m_pHolder);
  m_nState = kClosed;
  m_pView = nullptr;
  m_hMapping = nullptr;
  memset(m_szName, 0, sizeof m_szName);
}

unsigned long CKestSharedMemory::Size() { return m_dwSize; }

CKestSharedMemory::operator unsigned char*() const { return static_cast<unsigned char*>(m_pView); }
