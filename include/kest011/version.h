#pragma once
/// @file
/// Version resources and operating-system identification.

#include <windows.h>

#include "kest011/export.h"

namespace kest {
class SharedHolder;
}

// ---- Version resources ----------------------------------------------------------------
/// Reads the version resource of a module or file. Copies share the opened resource; the
/// last one to close it frees it. Objects and their copies may be made, assigned, closed and
/// destroyed on any thread.
///
/// Shared between threads: texts returned point into buffers of the library (259 characters
/// and a terminator), shared by all objects and overwritten by the next call, from any object
/// on any thread, that writes the same buffer. QueryValue and the eight named getters share
/// one; GetFixedFileVersion, GetFixedProductVersion and GetHelpFileName have one each. The
/// "Not Available" text is loaded once, by whichever construction comes first, and then only
/// read. Callers on several threads serialise the calls that share a buffer.
class KEST_API CKestFileVersionInfo {
 public:
  KEST_ALLOCATED_BY_LIBRARY;
  CKestFileVersionInfo();  ///< Holds nothing open; calls Initialize.
  /// Shares what `other` holds.
  CKestFileVersionInfo(CKestFileVersionInfo const& other);
  /// Lets go of what this object holds, then shares what `other` holds.
  CKestFileVersionInfo& operator=(CKestFileVersionInfo const& other);
  virtual ~CKestFileVersionInfo();  ///< Lets go of the resource, as Close does.

  /// Loads the "Not Available" text from the library's string resource, once per process;
  /// callers on other threads meanwhile wait for it. A failed load leaves the text empty and
  /// is not repeated.
  void Initialize();

  /// Opens the version resource of a loaded module (null: the program). Returns 1, or 0 on
  /// failure or when the object is open already.
  int Open(HINSTANCE module);
  /// Opens the version resource of a file. Returns 1, or 0 for a null or empty path, a path of
  /// 260 characters or more, a file without a version resource or translation table, or when
  /// the object is open already.
  int Open(char const* path);
  /// Lets go of the resource; the last copy holding it frees it.
  void Close();

  /// Returns the string value `name` under `translation` (0: the file's first), or the empty
  /// text when absent; a value longer than 259 bytes is cut after its last whole character
  /// within them, a name too long to look up is treated as absent. Returns "Not Available"
  /// when closed or `name` is null or empty.
  char const* QueryValue(char const* name, unsigned long translation);

  char const* GetFileDescription();   ///< QueryValue("FileDescription", 0)
  char const* GetFileVersion();       ///< QueryValue("FileVersion", 0)
  char const* GetInternalName();      ///< QueryValue("InternalName", 0)
  char const* GetCompanyName();       ///< QueryValue("CompanyName", 0)
  char const* GetLegalCopyright();    ///< QueryValue("LegalCopyright", 0)
  char const* GetOriginalFilename();  ///< QueryValue("OriginalFilename", 0)
  char const* GetProductName();       ///< QueryValue("ProductName", 0)
  char const* GetProductVersion();    ///< QueryValue("ProductVersion", 0)

  /// Copies the fixed version record into `info`. Returns 1, or 0 when closed or missing.
  int GetFixedInfo(VS_FIXEDFILEINFO& info);
  /// Returns the fixed file version as "a,b,c,d", or "Not Available".
  char const* GetFixedFileVersion();
  /// Returns the fixed product version as "a,b,c,d", or "Not Available".
  char const* GetFixedProductVersion();

  /// Returns the path of the module's existing .hlp file, or null. The help file is named
  /// after the file that the "HelpFileName" or else the "InternalName" value names in the
  /// opened file's directory, or else after the opened file itself; a path longer than 259
  /// characters is refused.
  char const* GetHelpFileName();

 private:
  char const* GetFullPath(char const* name);
  char const* GetValidFileName(char const* key);

  unsigned char* m_pVersionData;
  unsigned long m_dwTranslation;
  char m_szPath[MAX_PATH];
  kest::SharedHolder* m_pHolder;  ///< counts the copies that share m_pVersionData

  static char s_szNotAvailable[MAX_PATH];
};

// ---- Operating system -----------------------------------------------------------------
/// The running system's version record and family, taken once at construction. Objects are
/// plain values: any thread may use its own.
class KEST_API CKestSystemVersionInfo {
 public:
  KEST_ALLOCATED_BY_LIBRARY;
  /// Families of the running system, from its platform and version numbers.
  enum eOperatingSystem {
    eUnknownOS = 0,  ///< not known: the query failed, or NT 6.0 and later
    eWin32S = 1,     ///< Win32s
    eWin95 = 2,      ///< the consumer platform, 4.0 and before
    eWin98 = 3,      ///< the consumer platform, 4.10 and later
    eNT35 = 4,       ///< NT before 4.0
    eNT40 = 5,       ///< NT 4.0
    eWin2000 = 6,    ///< NT 5 (5.0, 5.1 and 5.2)
  };

  CKestSystemVersionInfo();  ///< Takes the running system's version record and family.
  /// Copies the record and family of `other`.
  CKestSystemVersionInfo(CKestSystemVersionInfo const& other);
  /// Copies the record and family of `other`.
  CKestSystemVersionInfo& operator=(CKestSystemVersionInfo const& other);
  virtual ~CKestSystemVersionInfo();  ///< Has nothing to free.

  /// Returns the family (eUnknownOS when the system could not be asked or is newer).
  eOperatingSystem GetOperatingSystem();

  int IsUnknownOS();  ///< 1 when the family is eUnknownOS, else 0
  int IsWin32S();     ///< 1 when the family is eWin32S, else 0
  int IsWin95();      ///< 1 when the family is eWin95, else 0
  int IsWin98();      ///< 1 when the family is eWin98, else 0
  int IsNT35();       ///< 1 when the family is eNT35, else 0
  int IsNT40();       ///< 1 when the family is eNT40, else 0
  int IsWin2000();    ///< 1 when the family is eWin2000, else 0

 private:
  OSVERSIONINFOEXA m_osvi;
  int m_bExtended;
  eOperatingSystem m_eOperatingSystem;
};
