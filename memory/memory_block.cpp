#include "frame/allocation.h"
#include "frame/error_report.h"
#include "frame/scoped_resource.h"
#include "frame/shared_holder.h"
#include "kest011/memory.h"

namespace {

// The largest block still taken from the global heap when the caller names no limit.
unsigned int const kDefaultGlobalLimit = 0x80000;

unsigned char* const kNoBlock = nullptr;

// A block as the holder keeps it: from the global heap or from the virtual-memory
// allocator, the other owner empty.
struct Block {
  kest::GlobalBlock global;
  kest::VirtualBlock pages;
};

}  // namespace

KEST_DEFINE_ALLOCATION(CKestMemory)

CKestMemory::CKestMemory()
    : m_hMemory(nullptr), m_pAddress(nullptr), m_nSize(0), m_pHolder(nullptr) {}

CKestMemory::CKestMemory(CKestMemory const& other) : CKestMemory() { *this = other; }

CKestMemory& CKestMemory::operator=(CKestMemory const& other) {
  if (this == &other) return *this;
  Close();
  m_hMemory = other.m_hMemory;
  m_pAddress = other.m_pAddress;
  m_nSize = other.m_nSize;
  m_pHolder = kest::shareHolder(other.m_pHolder);
  return *this;
}

CKestMemory::~CKestMemory() { Close(); }

unsigned char* CKestMemory::Open(unsigned int size, unsigned int limit, unsigned long* code,
                                 char** text) {
  kest::SystemErrorReport report(code, text);
  if (limit == 0) limit = kDefaultGlobalLimit;
  if (size == 0 || m_hMemory || m_pAddress) return kNoBlock;
  Block block;
  void* address = nullptr;
  if (size <= limit) {
    // GMEM_ZEROINIT alone: fixed memory, whose lock count stays zero, so the lock is only
    // the way to its address and needs no unlock.
    block.global.reset(GlobalAlloc(GMEM_ZEROINIT, size));
    if (!block.global) return report.lastError(kNoBlock);
    address = GlobalLock(block.global.get());
    if (!address) return report.lastError(kNoBlock);
  } else {
    block.pages.reset(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!block.pages) return report.lastError(kNoBlock);
    address = block.pages.get();
  }
  HGLOBAL const global = block.global.get();
  // Without memory for the holder, `block` frees the memory on return.
  m_pHolder = kest::Holder<Block>::adopt(block);
  if (!m_pHolder) return report.outOfMemory(kNoBlock);
  m_hMemory = global;
  m_pAddress = static_cast<unsigned char*>(address);
  m_nSize = size;
  return m_pAddress;
}

void CKestMemory::Close() {
  kest::dropHolder(m_pHolder);
  m_hMemory = nullptr;
  m_pAddress = nullptr;
  m_nSize = 0;
}

unsigned int CKestMemory::Size() { return m_nSize; }

unsigned char* CKestMemory::Address() { return m_pAddress; }
