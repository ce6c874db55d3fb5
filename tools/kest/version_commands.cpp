// kest subcommands and tour section of the version family.

#include <cstdio>
#include <string>

#include "kest/command.h"
#include "kest011/version.h"

namespace kest::cli {
namespace {

struct Getter {
  char const* label;
  char const* (CKestFileVersionInfo::*get)();
};

Getter const kGetters[] = {
    {"FileDescription", &CKestFileVersionInfo::GetFileDescription},
    {"FileVersion", &CKestFileVersionInfo::GetFileVersion},
    {"InternalName", &CKestFileVersionInfo::GetInternalName},
    {"CompanyName", &CKestFileVersionInfo::GetCompanyName},
    {"LegalCopyright", &CKestFileVersionInfo::GetLegalCopyright},
    {"OriginalFilename", &CKestFileVersionInfo::GetOriginalFilename},
    {"ProductName", &CKestFileVersionInfo::GetProductName},
    {"ProductVersion", &CKestFileVersionInfo::GetProductVersion},
    {"fixed file version", &CKestFileVersionInfo::GetFixedFileVersion},
    {"fixed product version", &CKestFileVersionInfo::GetFixedProductVersion},
    {"help file", &CKestFileVersionInfo::GetHelpFileName},
};

std::string orNone(char const* text) { return text ? text : "(none)"; }

char const* familyName(CKestSystemVersionInfo::eOperatingSystem family) {
  static char const* const kNames[] = {"eUnknownOS", "eWin32S", "eWin95",  "eWin98",
                                       "eNT35",      "eNT40",   "eWin2000"};
  return family >= 0 && family < static_cast<int>(sizeof kNames / sizeof *kNames) ? kNames[family]
                                                                                  : "?";
}

int versionInfo(Call& call) {
  Args const& args = call.operands();
  if (args.size() != 1) return call.usage();
  CKestFileVersionInfo info;
  if (!info.Open(args[0].c_str())) return call.fail(args[0] + ": no version resource");
  for (Getter const& getter : kGetters)
    std::printf("%-22s %s\n", getter.label, orNone((info.*getter.get)()).c_str());
  return kExitOk;
}

int operatingSystem(Call& call) {
  if (!call.operands().empty()) return call.usage();
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExA(&version))
    std::printf("platform %lu, version %lu.%lu, build %lu %s\n", version.dwPlatformId,
                version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
                version.szCSDVersion);
  CKestSystemVersionInfo system;
  std::printf("family %s\n", familyName(system.GetOperatingSystem()));
  return kExitOk;
}

void showVersionInfo(Tour& tour, char const* what, CKestFileVersionInfo& info) {
  for (Getter const& getter : kGetters)
    tour.show("%s %s -> %s", what, getter.label, orNone((info.*getter.get)()).c_str());
}

void tourVersions(Tour& tour) {
  CKestFileVersionInfo info;
  tour.show("closed reader: GetProductName -> %s", info.GetProductName());
  int opened = info.Open(GetModuleHandleA("kest011.dll"));
  tour.show("Open(kest011.dll module) -> %d", opened);
  if (opened) showVersionInfo(tour, "kest011.dll", info);
  info.Close();

  char system[MAX_PATH];
  UINT const length = GetSystemDirectoryA(system, MAX_PATH);
  std::string const kernel = std::string(system, length < MAX_PATH ? length : 0) + "\\kernel32.dll";
  opened = info.Open(kernel.c_str());
  tour.show("Open(%s) -> %d", kernel.c_str(), opened);
  if (opened) {
    tour.show("kernel32.dll FileDescription -> %s", info.GetFileDescription());
    tour.show("kernel32.dll fixed file version -> %s", info.GetFixedFileVersion());
  }

  CKestSystemVersionInfo os;
  tour.show("CKestSystemVersionInfo: GetOperatingSystem -> %s, IsWin2000 -> %d",
            familyName(os.GetOperatingSystem()), os.IsWin2000());
}

RegisterCommand const registerVerinfo({"verinfo", "print a file's version resource",
                                       "FILE\n"
                                       "Prints its standard strings, its fixed file and product "
                                       "versions and its help file.",
                                       versionInfo});
RegisterCommand const registerOs({"os", "print the system's version and family", "",
                                  operatingSystem});
RegisterTourSection const registerTour({700, "Version information", tourVersions});

}  // namespace
}  // namespace kest::cli
