#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

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
bool g_notAvailableLoaded;

char const kTranslationKey[] = "\\VarFileInfo\\Translation";
char const kFixedInfoKey[] = "\\";
char const kHelpExtension[] = ".hlp";

// The version data that copies of one reader share. The count of its holders sits in front
// of the bytes, so the reader's data pointer is all that a copy carries.
class SharedVersionData {
 public:
  // A block of `size` bytes with one holder, or null when memory runs out.
  static unsigned char* allocate(size_t size) {
    if (size > SIZE_MAX - kDataOffset) return nullptr;
    auto* block = static_cast<unsigned char*>(std::calloc(1, kDataOffset + size));
    if (!block) return nullptr;
    new (block) Holders{1};
    return block + kDataOffset;
  }

  static unsigned char* share(unsigned char* data) {
    if (data) InterlockedIncrement(&holders(data).count);
    return data;
  }

  static void release(unsigned char* data) {
    if (data && InterlockedDecrement(&holders(data).count) == 0) std::free(data - kDataOffset);
  }

 private:
  struct Holders {
    LONG count;
  };
  // Keeps the data as aligned as the allocation itself.
  static constexpr size_t kDataOffset = alignof(std::max_align_t);
  static_assert(sizeof(Holders) <= kDataOffset, "the count fits in front of the data");

  static Holders& holders(unsigned char* data) {
    return *reinterpret_cast<Holders*>(data - kDataOffset);
  }
};

bool isMissing(char const* text) { return text == nullptr || *text == '\0'; }

// Copies at most `length` characters of `text` (fewer at its terminator), cut to fit.
void copyCut(TextBuffer& buffer, char const* text, size_t length) {
  size_t const kept = strnlen(text, length < kTextSize ? length : kTextSize - 1);
  std::memcpy(buffer, text, kept);
  buffer[kept] = '\0';
}

// The parts of a path as _splitpath gives them. Paths of MAX_PATH characters or more are
// refused, so that no part can overrun its buffer.
struct PathParts {
  char drive[kTextSize];
  char directory[kTextSize];
  char baseName[kTextSize];
  char extension[kTextSize];

  bool split(char const* path) {
    if (std::strlen(path) >= kTextSize) return false;
    _splitpath(path, drive, directory, baseName, extension);
    return true;
  }
};

// Writes the concatenation of `parts` into `buffer`; false (and `buffer` empty) when it
// would not fit.
bool compose(TextBuffer& buffer, std::initializer_list<char const*> parts) {
  size_t used = 0;
  for (char const* part : parts) {
    size_t const length = std::strlen(part);
    if (length >= kTextSize - used) {
      buffer[0] = '\0';
      return false;
    }
    std::memcpy(buffer + used, part, length);
    used += length;
  }
  buffer[used] = '\0';
  return true;
}

// "a,b,c,d" from the two halves of a fixed version number.
char const* formatVersion(TextBuffer& buffer, DWORD mostSignificant, DWORD leastSignificant) {
  std::snprintf(buffer, kTextSize, "%u,%u,%u,%u", unsigned{HIWORD(mostSignificant)},
                unsigned{LOWORD(mostSignificant)}, unsigned{HIWORD(leastSignificant)},
                unsigned{LOWORD(leastSignificant)});
  return buffer;
}

}  // namespace

char CKestFileVersionInfo::s_szNotAvailable[MAX_PATH];

CKestFileVersionInfo::CKestFileVersionInfo()
    : m_pVersionData(nullptr), m_dwTranslation(0), m_szPath() {
  Initialize();
}

CKestFileVersionInfo::CKestFileVersionInfo(CKestFileVersionInfo const& other)
    : m_pVersionData(SharedVersionData::share(other.m_pVersionData)),
      m_dwTranslation(other.m_dwTranslation) {
  std::memcpy(m_szPath, other.m_szPath, sizeof m_szPath);
}

CKestFileVersionInfo& CKestFileVersionInfo::operator=(CKestFileVersionInfo const& other) {
  if (this == &other) return *this;
  unsigned char* const shared = SharedVersionData::share(other.m_pVersionData);
  SharedVersionData::release(m_pVersionData);
  m_pVersionData = shared;
  m_dwTranslation = other.m_dwTranslation;
  std::memcpy(m_szPath, other.m_szPath, sizeof m_szPath);
  return *this;
}

CKestFileVersionInfo::~CKestFileVersionInfo() { Close(); }

void CKestFileVersionInfo::Initialize() {
  // Set before the load, so that a failed load is not tried again.
  if (g_notAvailableLoaded) return;
  g_notAvailableLoaded = true;
  LoadStringA(KestGetResourceHandle(), IDS_NOT_AVAILABLE, s_szNotAvailable,
              sizeof s_szNotAvailable);
}

int CKestFileVersionInfo::Open(HINSTANCE module) {
  char path[MAX_PATH];
  DWORD const length = GetModuleFileNameA(module, path, sizeof path);
  // A path that filled the buffer may have been cut (and left unterminated).
  if (length == 0 || length >= sizeof path) return 0;
  return Open(path);
}

int CKestFileVersionInfo::Open(char const* path) {
  if (isMissing(path) || m_pVersionData) return 0;
  if (std::strlen(path) >= sizeof m_szPath) return 0;
  DWORD handle = 0;
  DWORD const size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return 0;
  m_pVersionData = SharedVersionData::allocate(size);
  if (!m_pVersionData) return 0;
  void* table = nullptr;
  UINT tableLength = 0;
  // The table must hold one entry (language, code page) to be read.
  if (!GetFileVersionInfoA(path, handle, size, m_pVersionData) ||
      !VerQueryValueA(m_pVersionData, kTranslationKey, &table, &tableLength) || !table ||
      tableLength < 2 * sizeof(WORD)) {
    Close();
    return 0;
  }
  WORD const* const firstEntry = static_cast<WORD const*>(table);
  m_dwTranslation = MAKELONG(firstEntry[1], firstEntry[0]);
  std::memcpy(m_szPath, path, std::strlen(path) + 1);
  return 1;
}

void CKestFileVersionInfo::Close() {
  SharedVersionData::release(m_pVersionData);
  m_pVersionData = nullptr;
  std::memset(m_szPath, 0, sizeof m_szPath);
  m_dwTranslation = 0;
}

char const* CKestFileVersionInfo::QueryValue(char const* name, unsigned long translation) {
  if (!m_pVersionData || isMissing(name)) return s_szNotAvailable;
  char key[kTextSize];
  int const keyLength = std::snprintf(key, sizeof key, "\\StringFileInfo\\%08lx\\%s",
                                      translation ? translation : m_dwTranslation, name);
  // Cleared only once the key is built: `name` may be an earlier answer held in this buffer.
  std::memset(g_value, 0, sizeof g_value);
  if (keyLength < 0 || static_cast<size_t>(keyLength) >= sizeof key) return g_value;
  void* value = nullptr;
  UINT valueLength = 0;
  if (VerQueryValueA(m_pVersionData, key, &value, &valueLength) && value && valueLength > 0)
    copyCut(g_value, static_cast<char const*>(value), valueLength);
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
  std::memcpy(&info, fixed, sizeof info);
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
  if (!m_pVersionData || isMissing(name)) return s_szNotAvailable;
  PathParts given;
  PathParts opened;
  if (!given.split(name) || given.baseName[0] == '\0' || !opened.split(m_szPath))
    return s_szNotAvailable;
  // The name keeps only its base name and extension: it is looked for beside the opened file.
  char const* extension = given.extension[0] ? given.extension : opened.extension;
  if (!compose(g_fullPath, {opened.drive, opened.directory, given.baseName, extension}))
    return s_szNotAvailable;
  return g_fullPath;
}

char const* CKestFileVersionInfo::GetValidFileName(char const* key) {
  if (isMissing(key)) return s_szNotAvailable;
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
      !compose(g_helpFile, {parts.drive, parts.directory, parts.baseName, kHelpExtension}))
    return nullptr;
  return KestFileFind(g_helpFile, nullptr, nullptr) ? g_helpFile : nullptr;
}
