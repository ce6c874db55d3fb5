#include "version/operating_system_family.h"

namespace kest {

CKestSystemVersionInfo::eOperatingSystem operatingSystemFamily(unsigned long platform,
                                                               unsigned long major,
                                                               unsigned long minor) {
  using OS = CKestSystemVersionInfo;
  switch (platform) {
    case VER_PLATFORM_WIN32s:
      return OS::eWin32S;
    case VER_PLATFORM_WIN32_WINDOWS:
      // 4.10 and 4.90 are the later consumer releases; 4.0 and before the first.
      return (major > 4 || (major == 4 && minor > 0)) ? OS::eWin98 : OS::eWin95;
    case VER_PLATFORM_WIN32_NT:
      if (major < 4) return OS::eNT35;
      if (major == 4) return OS::eNT40;
      if (major == 5) return OS::eWin2000;
      return OS::eUnknownOS;
    default:
      return OS::eUnknownOS;
  }
}

bool readVersionRecord(OSVERSIONINFOEXA& record, int& extended, VersionQuery query) {
  record = OSVERSIONINFOEXA{};
  record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  extended = query(reinterpret_cast<OSVERSIONINFOA*>(&record));
  if (extended) return true;
  // The first releases know only the plain record.
  record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  return query(reinterpret_cast<OSVERSIONINFOA*>(&record)) != FALSE;
}

}  // namespace kest
