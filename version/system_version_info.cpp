#include "frame/allocation.h"
#include "kest011/version.h"
#include "version/operating_system_family.h"

KEST_DEFINE_ALLOCATION(CKestSystemVersionInfo)

CKestSystemVersionInfo::CKestSystemVersionInfo()
    : m_osvi(), m_bExtended(0), m_eOperatingSystem(eUnknownOS) {
  if (kest::readVersionRecord(m_osvi, m_bExtended, GetVersionExA))
    m_eOperatingSystem = kest::operatingSystemFamily(m_osvi.dwPlatformId, m_osvi.dwMajorVersion,
                                                     m_osvi.dwMinorVersion);
}

CKestSystemVersionInfo::CKestSystemVersionInfo(CKestSystemVersionInfo const& other) = default;
CKestSystemVersionInfo& CKestSystemVersionInfo::operator=(CKestSystemVersionInfo const& other) =
    default;
CKestSystemVersionInfo::~CKestSystemVersionInfo() = default;

CKestSystemVersionInfo::eOperatingSystem CKestSystemVersionInfo::GetOperatingSystem() {
  return m_eOperatingSystem;
}

int CKestSystemVersionInfo::IsUnknownOS() { return m_eOperatingSystem == eUnknownOS; }
int CKestSystemVersionInfo::IsWin32S() { return m_eOperatingSystem == eWin32S; }
int CKestSystemVersionInfo::IsWin95() { return m_eOperatingSystem == eWin95; }
int CKestSystemVersionInfo::IsWin98() { return m_eOperatingSystem == eWin98; }
int CKestSystemVersionInfo::IsNT35() { return m_eOperatingSystem == eNT35; }
int CKestSystemVersionInfo::IsNT40() { return m_eOperatingSystem == eNT40; }
int CKestSystemVersionInfo::IsWin2000() { return m_eOperatingSystem == eWin2000; }
