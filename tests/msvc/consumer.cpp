// A program that uses kest011.dll as one built by Microsoft's compiler would (public headers,
// kest011.lib, no C++ library) and checks what only such a program can: every export links
// by its decorated name and answers; objects of the library made and freed here
// (library_objects.cpp); _com_error crosses from the DLL; static data imports; angles come
// out as in the MinGW builds, whose suites check what each family does. "consumer exit N"
// ends with N.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "kest011.h"
#include "tests/angles/known_angles.h"
#include "tests/msvc/library_objects.h"

using kest::known::sameBits;

// CKestFileVersionInfo's private static text, imported by its decorated name.
extern "C" __declspec(dllimport) char g_notAvailable[MAX_PATH] __asm__(
    "?s_szNotAvailable@CKestFileVersionInfo@@0PADA");

int g_failed;

bool check(bool ok, char const* what, int line) {
  if (!ok) printf("FAILED line %d: %s\n", line, what);
  g_failed += !ok;
  return ok;
}

namespace {

char g_self[MAX_PATH];
char g_folder[MAX_PATH];  // this run's, and the current directory
unsigned long g_code;     // with g_result and g_text: the error out-parameters of calls
long g_result;
char* g_text;

auto wide(wchar_t const* text) { return reinterpret_cast<unsigned short const*>(text); }

void released(IUnknown* first, IUnknown* second = nullptr, IUnknown* third = nullptr) {
  IUnknown* const objects[] = {first, second, third};
  for (IUnknown* object : objects)
    if (object) object->Release();
}

// The angle tables of the MinGW angle suite, and the members that they do not reach.
void angles() {
  using namespace kest::known;
  checkEveryRow([](bool same, char const* what) { check(same, what, __LINE__); });

  CKestAngle angle(10, 20, 30.0), deg, gon, rad;
  CHECK(sameBits(CKestAngle(angle).Deg(), 10.341666666666667));
  angle = CKestAngle(100.0, CKestAngle::eGon);
  CHECK(sameBits(angle.Gon(), 100.00000000000001));
  angle.SetDms(0, 0, 0.0);
  angle.AddDms(-10, 0, 0.0);
  deg.AddDeg(-10.0);
  gon.AddGon(-100.0);
  rad.AddRad(-1e-17);
  CHECK(sameBits(angle.Rad(), -0.17453292519943295) && sameBits(deg.Rad(), 6.1086523819801535) &&
        sameBits(gon.Rad(), 4.71238898038469) && sameBits(rad.Rad(), 6.283185307179586));
  short degrees = 0;
  unsigned short minutes = 0;
  double seconds = 0.0;
  angleFrom(SetBy::kDeg, -12.5).GetDms(degrees, minutes, seconds, 2);
  CHECK(degrees == -12 && minutes == 65506 && sameBits(seconds, -0.0));
}

void filesAndPaths() {
  char data[] = "0123456789";
  HANDLE handle = KestFileCreate("data.bin", GENERIC_WRITE, CREATE_NEW, 0, 0, &g_code, &g_text);
  CHECK(KestFileWrite(handle, data, 10, &g_code, &g_text) == 1 &&
        KestFileSeekEnd(handle, &g_code, &g_text) == 1 &&
        KestFileSize(handle, &g_code, &g_text) == 10);
  CloseHandle(handle);
  handle = KestFileOpen("data.bin", GENERIC_READ, OPEN_EXISTING, 0, 0, &g_code, &g_text);
  CHECK(KestFileSeek(handle, 2, &g_code, &g_text) == 1 &&
        KestFileRead(handle, data, 3, &g_code, &g_text) == 1 && memcmp(data, "234", 3) == 0);
  CloseHandle(handle);
  // A failure's code and the text in the library's buffer reach this program.
  CHECK(KestFileSize("Z:\\kest-msvc\\missing", &g_code, &g_text) == -1 && g_code != 0 && g_text[0]);
  CHECK(KestFileHide("data.bin", &g_code, &g_text) == 1 &&
        KestFileMove("data.bin", "moved.bin", &g_code, &g_text) == 1 &&
        KestFileFind("data.bin", &g_code, &g_text) == 0);
  WIN32_FIND_DATAA found = {};
  FindClose(KestDirectoryFind(g_folder, &found, &g_code, &g_text));
  CHECK(strcmp(found.cFileName, strrchr(g_folder, '\\') + 1) == 0);

  int removable = -1;
  char name[] = "a?b";
  CHECK(KestDriveIsEqual("C:\\one", "c:\\two") == 1 && KestFilenameIsValid("a?b") == 0 &&
        KestIsReservedDeviceName("com1") == 1 && KestPathIsValid("C:\\one", 0, &removable) == 1);
  CHECK(KestReplaceInvalidFilenameCharacters(name, '_', 3) == 1 && strcmp(name, "a_b") == 0);
  CHECK(strstr(KestTempFilename(".", "kst"), "\\kst") != nullptr);
  ULARGE_INTEGER bytes = {}, plain = {};
  unsigned long megabytes = 0, plainMegabytes = 0;
  CHECK(KestFreeDiskSpace("C:\\", &bytes) == 1 && KestFreeDiskSpaceC("C:\\", &plain) == 1 &&
        KestFreeDiskSpaceMB("C:\\", &megabytes) == 1 &&
        KestFreeDiskSpaceMBC("C:\\", &plainMegabytes) == 1 && plainMegabytes == megabytes);
}

// The storage calls with names of one kind, narrow or wide.
template <class Name>
void storageWith(Name file, Name folder, Name page) {
  STATSTG record = {};
  char hello[] = "hello";
  IStorage* root = KestOleCreateStgFile(file, &g_result, &g_text);
  // A null storage or stream is refused, so a failure shows in the last call.
  IStorage* storage = KestOleCreateStorage(root, folder, nullptr, &g_result, &g_text);
  IStream* stream = KestOleCreateStream(storage, page, nullptr, &g_result, &g_text);
  CHECK(KestOleWriteStream(stream, hello, 5, &g_result, &g_text) == 1);
  released(stream, storage, root);
  root = KestOleOpenStgFile(1, file, &g_result, &g_text);
  storage = KestOleOpenStorage(0, root, folder, nullptr, &g_result, &g_text);
  stream = KestOleOpenStream(0, storage, page, nullptr, &g_result, &g_text);
  CHECK(KestOleReadStream(stream, hello, 5, &g_result, &g_text) == 1);
  released(stream, storage);
  CKestOleEnumElements elements, assigned;
  CHECK(elements.EnumElements(root, &g_result, &g_text) == 1);
  assigned = CKestOleEnumElements(elements);
  CHECK(assigned.Size() == 1 && assigned.GetAt(1).pwcsName == nullptr);
  elements.FreeElements();
  CHECK(KestOleFindElement(root, folder, STGTY_STORAGE, record, &g_result, &g_text) == 1 &&
        KestOleDeleteElement(root, folder, &g_result, &g_text) == 1);
  CoTaskMemFree(record.pwcsName);
  released(root);
}

void storage() {
  storageWith("a.stg", "Folder", "Page");
  storageWith(wide(L"a.stg"), wide(L"Folder"), wide(L"Page"));
  GUID const id = {0x00020906, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  CHECK(strcmp(KestOleCLSIDAsString(id), "{00020906-0000-0000-C000-000000000046}") == 0);
}

void memory() {
  CKestMemory block, assigned;
  unsigned char* const address = block.Open(100, 0, &g_code, &g_text);
  assigned = CKestMemory(block);
  block.Close();
  CHECK(address && assigned.Address() == address && assigned.Size() == 100);
  CKestMmFile mapped, mappedAssigned;
  void* const view = mapped.Open(CKestMmFile::eRead, "moved.bin", &g_code, &g_text);
  unsigned long high = 99;
  CHECK(view && memcmp(view, "0123456789", 10) == 0 && mapped.Size(&high) == 10 && high == 0);
  mappedAssigned = CKestMmFile(mapped);
  mapped.Close();
  char const* const name = "kest-msvc-shared";
  CKestSharedMemory shared, opened, assignedShared;
  void* const bytes = shared.Create(name, 4096, &g_code, &g_text);
  CHECK(bytes && shared.Size() == 4096 && shared.Exist(name) == 1 &&
        opened.Open(name, &g_code, &g_text) != nullptr);
  assignedShared = CKestSharedMemory(shared);
  shared.Close();
  CHECK(static_cast<unsigned char*>(assignedShared) == bytes);
}

void processAndUtil() {
  char line[2 * MAX_PATH];
  snprintf(line, sizeof line, "\"%s\" exit 7", g_self);
  CHECK(KestWinExecWait32(nullptr, line, SW_HIDE, nullptr, 0, INFINITE, &g_code, nullptr) == 7);
  CHECK(KestWinExecWait16(g_self, line, SW_HIDE, nullptr, 0, INFINITE, &g_code, nullptr) == 7);

  unsigned char digits[] = "123456789";
  CHECK(KestCrc(digits, 9, 0) == 0xCBF43926 && KestCrc("6789", KestCrc("12345", 0)) == 0xCBF43926);
  CHECK(__KestGcdi(4, -6) == -2 && __KestGcdl(12, 18) == 6 &&
        sameBits(__KestGcdd(0.75, 0.5), 0.25));
  CHECK(__KestLcmi(4, 6) == 12 && __KestLcml(4, 6) == 12 && sameBits(__KestLcmd(0.75, 0.5), 1.5));
  CHECK(KestPlayMidi(nullptr, "Z:\\kest-msvc\\missing.mid") == 0 && KestPauseMidi(nullptr) == 0 &&
        KestResumeMidi(nullptr) == 0 && KestReplayMidi(nullptr) == 0 && KestStopMidi(nullptr) == 1);
  CHECK(KestIsKeyDown(VK_F24) == 0);
}

void frameAndVersion() {
  CKestSystemVersionInfo system, assignedSystem;
  assignedSystem = CKestSystemVersionInfo(system);
  CHECK(assignedSystem.GetOperatingSystem() == system.GetOperatingSystem());
  int const families = system.IsUnknownOS() + system.IsWin32S() + system.IsWin95() +
                       system.IsWin98() + system.IsNT35() + system.IsNT40() + system.IsWin2000();
  CHECK(families == 1);

  CKestFileVersionInfo info;
  info.Initialize();
  CHECK(info.QueryValue("ProductName", 0) == g_notAvailable &&
        strcmp(g_notAvailable, "Not Available") == 0);
  CHECK(info.Open(GetModuleHandleA("kest011.dll")) == 1);
  // The texts of the version resource, which this build's resource compiler wrote.
  using Info = CKestFileVersionInfo;
  char const* (Info::*const texts[])() = {&Info::GetFileVersion,         &Info::GetProductVersion,
                                          &Info::GetCompanyName,         &Info::GetInternalName,
                                          &Info::GetOriginalFilename,    &Info::GetFileDescription,
                                          &Info::GetLegalCopyright,      &Info::GetFixedFileVersion,
                                          &Info::GetFixedProductVersion, &Info::GetProductName};
  for (auto const get : texts) CHECK(strlen((info.*get)()) > 6);
  VS_FIXEDFILEINFO fixed = {};
  CHECK(info.GetFixedInfo(fixed) == 1 && strcmp(info.GetFixedFileVersion(), "0,1,1,37") == 0);
  CHECK(info.GetHelpFileName() == nullptr);  // no kest011.hlp beside the DLL
  Info assigned;
  assigned = Info(info);
  info.Close();
  CHECK(strcmp(assigned.QueryValue("ProductName", 0x040904B0), "Kest011") == 0);
  CHECK(info.Open(g_self) == 0);                     // a program without a version resource
  KestSetResourceHandle(GetModuleHandleA(nullptr));  // last: the DLL's texts come from there
  CHECK(KestGetResourceHandle() == GetModuleHandleA(nullptr));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "exit") == 0) return atoi(argv[2]);
  GetModuleFileNameA(nullptr, g_self, MAX_PATH);
  snprintf(g_folder, sizeof g_folder, "%s\\kest-msvc-%lu", KestTempDirectory(),
           GetCurrentProcessId());
  CHECK(KestDirectoryCreate(g_folder, &g_code, &g_text) == 1);
  SetCurrentDirectoryA(g_folder);
  CoInitialize(nullptr);
  angles();
  filesAndPaths();
  storage();
  memory();
  HeapGrowth const growth = libraryObjectRows();
  printf("library objects: process heap %lld bytes more, C runtime heap %lld\n", growth.process,
         growth.runtime);
  processAndUtil();
  frameAndVersion();
  CoUninitialize();
  DeleteFileA("moved.bin");
  DeleteFileA("a.stg");
  SetCurrentDirectoryA("..");
  RemoveDirectoryA(g_folder);
  printf("%d failed\n", g_failed);
  return g_failed == 0 ? 0 : 1;
}
