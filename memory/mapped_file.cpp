#include <string.h>

#include "frame/allocation.h"
#include "frame/bounded_text.h"
#include "frame/error_report.h"
#include "frame/scoped_resource.h"
#include "frame/shared_holder.h"
#include "kest011/memory.h"

namespace {

// The system has no mapping for an empty file; this says so instead of a system message.
char const kEmptyFileText[] = "Cannot create filemapping for files with size 0";

void* const kNoView = nullptr;

// What one open mode asks of the system.
struct ModeFlags {
  DWORD fileAccess;
  DWORD fileSharing;
  DWORD protection;
  DWORD viewAccess;
  bool mapsWholeFile;  // else it maps the low 32 bits of the size
};

ModeFlags const* flagsFor(CKestMmFile::eOpenmode mode) {
  static ModeFlags const kRead{GENERIC_READ, FILE_SHARE_READ, PAGE_READONLY, FILE_MAP_READ, true};
  static ModeFlags const kReadWrite{GENERIC_READ | GENERIC_WRITE, 0, PAGE_READWRITE, FILE_MAP_WRITE,
                                    false};
  switch (mode) {
    case CKestMmFile::eRead:
      return &kRead;
    case CKestMmFile::eReadWrite:
      return &kReadWrite;
  }
  return nullptr;
}

// The file, its mapping and its view, as the holder keeps them: they close in reverse
// order, the view first and the file last.
struct MappedFile {
  kest::FileHandle file;
  kest::KernelHandle mapping;
  kest::MappedView view;
};

}  // namespace

KEST_DEFINE_ALLOCATION(CKestMmFile)

CKestMmFile::CKestMmFile()
    : m_eMode(eOpenmode(0)),
      m_szPath(),
      m_uliSize(),
      m_hFile(INVALID_HANDLE_VALUE),
      m_hMapping(nullptr),
      m_pView(nullptr),
      m_pHolder(nullptr) {}

CKestMmFile::CKestMmFile(CKestMmFile const& other) : CKestMmFile() { *this = other; }

CKestMmFile& CKestMmFile::operator=(CKestMmFile const& other) {
  if (this == &other) return *this;
  Close();
  m_eMode = other.m_eMode;
  memcpy(m_szPath, other.m_szPath, sizeof m_szPath);
  m_uliSize = other.m_uliSize;
  m_hFile = other.m_hFile;
  m_hMapping = other.m_hMapping;
  m_pView = other.m_pView;
  m_pHolder = kest::shareHolder(other.m_pHolder);
  return *this;
}

CKestMmFile::~CKestMmFile() { Close(); }

void* CKestMmFile::Open(eOpenmode mode, char const* path, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (m_eMode != 0) return kNoView;
  memset(m_szPath, 0, sizeof m_szPath);
  m_uliSize.QuadPart = 0;
  m_hFile = INVALID_HANDLE_VALUE;
  m_hMapping = nullptr;
  m_pView = nullptr;

  ModeFlags const* const flags = flagsFor(mode);
  // The path is kept whole or not at all, so one that does not fit is refused up front.
  if (!flags || kest::isMissing(path) || !kest::fits(m_szPath, path)) return kNoView;

  // Each member shows the value its call gave (after a failure, maybe that of a handle since
  // closed); what was opened belongs to the local record until everything is.
  MappedFile opened;
  opened.file.reset(CreateFileA(path, flags->fileAccess, flags->fileSharing, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  m_hFile = opened.file.get();
  if (!opened.file) return report.lastError(kNoView);

  // A low half of all ones is a valid size too; only the last error tells a failure apart.
  SetLastError(NO_ERROR);
  DWORD high = 0;
  DWORD const low = GetFileSize(m_hFile, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return report.lastError(kNoView);
  m_uliSize.LowPart = low;
  m_uliSize.HighPart = high;
  if (m_uliSize.QuadPart == 0) return report.failWithText(kNoView, 0, kEmptyFileText);

  opened.mapping.reset(CreateFileMappingA(m_hFile, nullptr, flags->protection, 0, 0, nullptr));
  m_hMapping = opened.mapping.get();
  if (!opened.mapping) return report.lastError(kNoView);

  opened.view.reset(
      MapViewOfFile(m_hMapping, flags->viewAccess, 0, 0, flags->mapsWholeFile ? 0 : low));
  m_pView = opened.view.get();
  if (!opened.view) return report.lastError(kNoView);

  // Without memory for the holder, `opened` closes all three on return.
  m_pHolder = kest::Holder<MappedFile>::adopt(opened);
  if (!m_pHolder) return report.outOfMemory(kNoView);
  m_eMode = mode;
  kest::copyIfFits(m_szPath, path);  // it fits: checked before anything was opened
  return m_pView;
}

void CKestMmFile::Close() {
  if (m_eMode == 0) return;
  kest::dropHolder(m_pHolder);
  m_eMode = eOpenmode(0);
}

unsigned long CKestMmFile::Size(unsigned long* high) {
  if (high) *high = m_uliSize.HighPart;
  return m_uliSize.LowPart;
}
