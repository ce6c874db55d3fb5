#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "frame/allocation.h"
#include "frame/bounded_text.h"
#include "frame/scoped_resource.h"
#include "frame/shared_holder.h"
#include "kest011/files.h"
#include "kest011/frame.h"
#include "kest011/version.h"
#include "resources/resource_ids.h"

namespace {

// Every text buffer of the reader holds 259 characters and a terminator.
constexpr size_t kTextSize = MAX_PATH;
using TextBuffer = char[kTextSize];

TextBuffer g_value;
TextBuffer g_fullPath;
TextBuffer g_helpFile;
TextBuffer g_fixedFileVersion;
TextBuffer g_fixedProductVersion;
INIT_ONCE g_notAvailableOnce = INIT_ONCE_STATIC_INIT;

char const kTranslationKey[] = "\\VarFileInfo\\Translation";
char const kFixedInfoKey[] = "\\";
char const kHelpExtension[] = ".hlp";

// The version data that copies of one reader share.
struct VersionData {
  kest::HeapBlock block;
};

// Loads the text into `context`, the fallback buffer. A failed load counts as done too, so
// that it is not tried again and the text stays empty.
BOOL CALLBACK loadNotAvailable(INIT_ONCE*, void* context, void**) {
  LoadStringA(KestGetResourceHandle(), IDS_NOT_AVAILABLE, static_cast<char*>(context), kTextSize);
  return TRUE;
}

// The parts of a path as _splitpath gives them. Paths of MAX_PATH characters or more are
// refused, so that no part can overrun its buffer.
struct PathParts {
  TextBuffer drive;
  TextBuffer directory;
  TextBuffer baseName;
  TextBuffer extension;

  bool split(char const* path) {
    if (!kest::fits(drive, path)) return false;
    _splitpath(path, drive, directory, baseName, extension);
    return true;
  }
};

// "a,b,c,d" from the two halves of a fixed version number.
char const* formatVersion(TextBuffer& buffer, DWORD mostSignificant, DWORD leastSignificant) {
  kest::format(buffer, "%u,%u,%u,%u", unsigned{HIWORD(mostSignificant)},
               unsigned{LOWORD(mostSignificant)}, unsigned{HIWORD(leastSignificant)},
               unsigned{LOWORD(leastSignificant)});
  return buffer;
}

}  // namespace

char CKestFileVersionInfo::s_szNotAvailable[MAX_PATH];

KEST_DEFINE_ALLOCATION(CKestFileVersionInfo)

CKestFileVersionInfo::CKestFileVersionInfo()
    : m_pVersionData(nullptr), m_dwTranslation(0), m_szPath(), m_pHolder(nullptr) {
  Initialize();
}

CKestFileVersionInfo::CKestFileVersionInfo(CKestFileVersionInfo const& other)
    : m_pVersionData(other.m_pVersionData),
      m_dwTranslation(other.m_dwTranslation),
      m_pHolder(kest::shareHolder(other.m_pHolder)) {
  memcpy(m_szPath, other.m_szPath, sizeof m_szPath);
}

CKestFileVersionInfo& CKestFileVersionInfo::operator=(CKestFileVersionInfo const& other) {
  if (this == &other) return *this;
  Close();
  m_pVersionData = other.m_pVersionData;
  m_dwTranslation = other.m_dwTranslation;
  memcpy(m_szPath, other.m_szPath, sizeof m_szPath);
  m_pHolder = kest::shareHolder(other.m_pHolder);
  return *this;
}

CKestFileVersionInfo::~CKestFileVersionInfo() { Close(); }

void CKestFileVersionInfo::Initialize() {
  InitOnceExecuteOnce(&g_notAvailableOnce, loadNotAvailable, s_szNotAvailable, nullptr);
}

int CKestFileVersionInfo::Open(HINSTANCE module) {
  char path[MAX_PATH];
  DWORD const length = GetModuleFileNameA(module, path, sizeof path);
  // A path that filled the buffer may have been cut (and left unterminated).
  if (length == 0 || length >= sizeof path) return 0;
  return Open(path);
}

int CKestFileVersionInfo::Open(char const* path) {
  if (kest::isMissing(path) || m_pVersionData || !kest::fits(m_szPath, path)) return 0;
  DWORD handle = 0;
  DWORD const size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return 0;
  VersionData data{kest::HeapBlock(kest::allocate(size))};
  void* const block = data.block.get();
  if (!block) return 0;
  void* table = nullptr;
  UINT tableLength = 0;
  // The table must hold one entry (language, code page) to be read.
  if (!GetFileVersionInfoA(path, handle, size, block) ||
      !VerQueryValueA(block, kTranslationKey, &table, &tableLength) || !table ||
      tableLength < 2 * sizeof(WORD))
    return 0;
  WORD const* const firstEntry = static_cast<WORD const*>(table);
  DWORD const translation = MAKELONG(firstEntry[1], firstEntry[0]);
  m_pHolder = kest::Holder<VersionData>::adopt(data);
  if (!m_pHolder) return 0;
  m_pVersionData = static_cast<unsigned char*>(block);
  m_dwTranslation = translation;
  kest::copyIfFits(m_szPath, path);
  return 1;
}

void CKestFileVersionInfo::Close() {
  kest::dropHolder(m_pHolder);
  m_pVersionData = nullptr;
  memset(m_szPath, 0, sizeof m_szPath);
  m_dwTranslation = 0;
}

char const* CKestFileVersionInfo::QueryValue(char const* name, unsigned long translation) {
  if (!m_pVersionData || kest::isMissing(name)) return s_szNotAvailable;
  TextBuffer key;
  bool const keyFits = kest::format(key, "\\StringFileInfo\\%08lx\\%s",
                                    translation ? translation : m_dwTranslation, name);
  // Cleared only once the key is built: `name` may be an earlier answer held in this buffer.
  memset(g_value, 0, sizeof g_value);
  if (!keyFits) return g_value;
  void* value = nullptr;
  UINT valueLength = 0;
  if (VerQueryValueA(m_pVersionData, key, &value, &valueLength) && value && valueLength > 0)
    kest::copyCut(g_value, static_cast<char const*>(value), valueLength);
  return g_value;
}

char const* CKestFileVersionInfo::GetFileDescription() { return QueryValue("FileDescription", 0); }
char const* CKestFileVersionInfo::GetFileVersion() { return QueryValue("FileVersion", 0); }
char const* CKestFileVersionInfo::GetInternalName() { return QueryValue("InternalName", 0); }
char const* CKestFileVersionInfo::GetCompanyName() { return QueryValue("CompanyName", 0); }
char const* CKestFileVersionInfo::GetLegalCopyright() { return QueryValue("LegalCopyright", 0); }
char const* CKestFileVersionInfo::GetOriginalFilename() {
  return QueryValue("OriginalFilename", 0);
}
char const* CKestFileVersionInfo::GetProductName() { return QueryValue("ProductName", 0); }
char const* CKestFileVersionInfo::GetProductVersion() { return QueryValue("ProductVersion", 0); }

int CKestFileVersionInfo::GetFixedInfo(VS_FIXEDFILEINFO& info) {
  if (!m_pVersionData) return 0;
  void* fixed = nullptr;
  UINT length = 0;
  // A resource may carry no fixed record (length 0): nothing is read past what it has.
  if (!VerQueryValueA(m_pVersionData, kFixedInfoKey, &fixed, &length) || !fixed ||
      length < sizeof info)
    return 0;
  memcpy(&info, fixed, sizeof info);
  return 1;
}

char const* CKestFileVersionInfo::GetFixedFileVersion() {
  VS_FIXEDFILEINFO info;
  if (!GetFixedInfo(info)) return s_szNotAvailable;
  return formatVersion(g_fixedFileVersion, info.dwFileVersionMS, info.dwFileVersionLS);
}

char const* CKestFileVersionInfo::GetFixedProductVersion() {
  VS_FIXEDFILEINFO info;
  if (!GetFixedInfo(info)) return s_szNotAvailable;
  return formatVersion(g_fixedProductVersion, info.dwProductVersionMS, info.dwProductVersionLS);
}

char const* CKestFileVersionInfo::GetFullPath(char const* name) {
  if (!m_pVersionData || kest::isMissing(name)) return s_szNotAvailable;
  PathParts given;
  PathParts opened;
  if (!given.split(name) || given.baseName[0] == '\0' || !opened.split(m_szPath))
    return s_szNotAvailable;
  // The name keeps only its base name and extension: it is looked for beside the opened file.
  char const* extension = given.extension[0] ? given.extension : opened.extension;
  if (!kest::join(g_fullPath, opened.drive, opened.directory, given.baseName, extension))
    return s_szNotAvailable;
  return g_fullPath;
}

char const* CKestFileVersionInfo::GetValidFileName(char const* key) {
  if (kest::isMissing(key)) return s_szNotAvailable;
  char const* const value = QueryValue(key, 0);
  if (*value == '\0') return s_szNotAvailable;
  char const* const path = GetFullPath(value);
  if (path == s_szNotAvailable || !KestFileFind(path, nullptr, nullptr)) return s_szNotAvailable;
  return path;
}

char const* CKestFileVersionInfo::GetHelpFileName() {
  if (!m_pVersionData) return nullptr;
  char const* candidate = GetValidFileName("HelpFileName");
  if (candidate == s_szNotAvailable) candidate = GetValidFileName("InternalName");
  if (candidate == s_szNotAvailable) candidate = m_szPath;
  PathParts parts;
  if (!parts.split(candidate) ||
      !kest::join(g_helpFile, parts.drive, parts.directory, parts.baseName, kHelpExtension))
    return nullptr;
  return KestFileFind(g_helpFile, nullptr, nullptr) ? g_helpFile : nullptr;
}
