#include "process/program_information_file.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kest011/files.h"
#include "kest011/frame.h"
#include "resources/resource_ids.h"

namespace {

char const kPifResourceType[] = "PIFFILE";

// The resource as first found through the resource handle, kept for the life of the module
// once its data has been locked.
struct PifResource {
  HRSRC found;
  DWORD size;
  HGLOBAL loaded;
  void* data;
};
PifResource g_pifResource;

bool lookUpPifResource() {
  if (g_pifResource.data) return true;
  HINSTANCE const module = KestGetResourceHandle();
  g_pifResource.found =
      FindResourceA(module, MAKEINTRESOURCEA(IDR_PROGRAM_INFORMATION_FILE), kPifResourceType);
  if (!g_pifResource.found) return false;
  g_pifResource.size = SizeofResource(module, g_pifResource.found);
  if (g_pifResource.size == 0) return false;
  g_pifResource.loaded = LoadResource(module, g_pifResource.found);
  if (!g_pifResource.loaded) return false;
  g_pifResource.data = LockResource(g_pifResource.loaded);
  return g_pifResource.data != nullptr;
}

// "<Windows directory>\<base name>.pif" into `name`; false when it would not fit.
bool composePifName(char const* applicationName, char (&name)[MAX_PATH]) {
  // With the whole name shorter than MAX_PATH, every part of it fits a MAX_PATH buffer.
  if (!applicationName || std::strlen(applicationName) >= MAX_PATH) return false;
  char baseName[MAX_PATH];
  _splitpath(applicationName, nullptr, nullptr, baseName, nullptr);

  char directory[MAX_PATH];
  UINT const length = GetWindowsDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  char const* separator = directory[length - 1] == '\\' ? "" : "\\";
  int const written = std::snprintf(name, MAX_PATH, "%s%s%s.pif", directory, separator, baseName);
  return written > 0 && written < MAX_PATH;
}

bool fileExists(char const* name) {
  WIN32_FIND_DATAA found;
  HANDLE const search = FindFirstFileA(name, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

}  // namespace

namespace kest {

bool ensureProgramInformationFile(char const* applicationName) {
  char name[MAX_PATH];
  if (!composePifName(applicationName, name)) return false;
  if (fileExists(name)) return true;
  if (!lookUpPifResource()) return false;
  HANDLE const file = KestFileCreate(name, GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0,
                                     nullptr, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // A failed write still lets the program start: it runs with the system's defaults.
  KestFileWrite(file, g_pifResource.data, g_pifResource.size, nullptr, nullptr);
  CloseHandle(file);
  return true;
}

}  // namespace kest
