#pragma once
// How the operating-system reader asks for the version record and sorts it into a family;
// separate from the class so that any version numbers can be put to it.

#include <windows.h>

#include "kest011/version.h"

namespace kest {

// The family of a system that reports `platform`, `major` and `minor`.
CKestSystemVersionInfo::eOperatingSystem operatingSystemFamily(unsigned long platform,
                                                               unsigned long major,
                                                               unsigned long minor);

using VersionQuery = BOOL(WINAPI*)(OSVERSIONINFOA*);

// Fills `record` through `query`: as the extended record first, as the plain one when that
// is refused. `extended` receives the first call's result. Returns whether either call
// filled the record.
bool readVersionRecord(OSVERSIONINFOEXA& record, int& extended, VersionQuery query);

}  // namespace kest
