#include "process/program_information_file.h"

#include <stdlib.h>
#include <windows.h>

#include "frame/bounded_text.h"
#include "frame/scoped_resource.h"
#include "kest011/files.h"
#include "kest011/frame.h"
#include "resources/resource_ids.h"

namespace {

char const kPifResourceType[] = "PIFFILE";

// The resource as first found through the resource handle, kept for the life of the module
// once its data has been locked. Threads that look at once do so one after the other; a
// failed lookup leaves it to be tried again by the next call.
struct PifResource {
  HRSRC found;
  DWORD size;
  HGLOBAL loaded;
  void* data;
};
PifResource g_pifResource;
INIT_ONCE g_pifResourceOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK lookUpPifResourceOnce(INIT_ONCE*, void*, void**) {
  HINSTANCE const module = KestGetResourceHandle();
  g_pifResource.found =
      FindResourceA(module, MAKEINTRESOURCEA(IDR_PROGRAM_INFORMATION_FILE), kPifResourceType);
  if (!g_pifResource.found) return FALSE;
  g_pifResource.size = SizeofResource(module, g_pifResource.found);
  if (g_pifResource.size == 0) return FALSE;
  g_pifResource.loaded = LoadResource(module, g_pifResource.found);
  if (!g_pifResource.loaded) return FALSE;
  g_pifResource.data = LockResource(g_pifResource.loaded);
  return g_pifResource.data != nullptr;
}

bool lookUpPifResource() {
  return InitOnceExecuteOnce(&g_pifResourceOnce, lookUpPifResourceOnce, nullptr, nullptr) != 0;
}

// "<Windows directory>\<base name>.pif" into `name`; false when it would not fit.
bool composePifName(char const* applicationName, char (&name)[MAX_PATH]) {
  // With the whole name shorter than MAX_PATH, every part of it fits a MAX_PATH buffer.
  if (!applicationName || !kest::fits(name, applicationName)) return false;
  char baseName[MAX_PATH];
  _splitpath(applicationName, nullptr, nullptr, baseName, nullptr);

  char directory[MAX_PATH];
  UINT const length = GetWindowsDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  char const* separator = directory[length - 1] == '\\' ? "" : "\\";
  return kest::join(name, directory, separator, baseName, ".pif");
}

bool fileExists(char const* name) {
  WIN32_FIND_DATAA found;
  return kest::FindHandle(FindFirstFileA(name, &found)).valid();
}

}  // namespace

namespace kest {

bool ensureProgramInformationFile(char const* applicationName) {
  char name[MAX_PATH];
  if (!composePifName(applicationName, name)) return false;
  if (fileExists(name)) return true;
  if (!lookUpPifResource()) return false;
  kest::FileHandle const file(KestFileCreate(name, GENERIC_WRITE, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, 0, nullptr, nullptr));
  if (!file) return false;
  // A failed write still lets the program start: it runs with the system's defaults.
  KestFileWrite(file.get(), g_pifResource.data, g_pifResource.size, nullptr, nullptr);
  return true;
}

}  // namespace kest
