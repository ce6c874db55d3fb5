#include "frame/error_report.h"
#include "frame/scoped_resource.h"
#include "frame/shared_holder.h"
#include "kest011/memory.h"

namespace {

// The largest block still taken from the global heap when the caller names no limit.
unsigned int const kDefaultGlobalLimit = 0x80000;

unsigned char* const kNoBlock = nullptr;

// A block and the allocator it came from, as the holder keeps it.
struct Block {
  HGLOBAL global;  // null for a block from the virtual-memory allocator
  void* address;

  void release() const {
    if (!global) {
      kest::VirtualBlock const pages(address);
      return;
    }
    GlobalUnlock(global);
    kest::GlobalBlock const owned(global);
  }
};

}  // namespace

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
  Block block{};
  if (size <= limit) {
    // GMEM_ZEROINIT alone: fixed memory, so the lock is only the way to its address.
    kest::GlobalBlock global(GlobalAlloc(GMEM_ZEROINIT, size));
    if (!global) return report.lastError(kNoBlock);
    void* const address = GlobalLock(global.get());
    if (!address) return report.lastError(kNoBlock);
    block = {global.release(), address};
  } else {
    kest::VirtualBlock pages(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!pages) return report.lastError(kNoBlock);
    block = {nullptr, pages.release()};
  }
  // Without memory for the holder the block is freed at once.
  m_pHolder = kest::Holder<Block>::adopt(block);
  if (!m_pHolder) return report.fail(kNoBlock, ERROR_NOT_ENOUGH_MEMORY, ERROR_NOT_ENOUGH_MEMORY);
  m_hMemory = block.global;
  m_pAddress = static_cast<unsigned char*>(block.address);
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
