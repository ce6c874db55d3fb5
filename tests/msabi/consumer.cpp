// A program that uses kest011.dll as one built by Microsoft's compiler would: compiled in
// that ABI against the public headers only, linked with kest011.lib, with no C++ library.
// It checks what only such a program can: every export links by its decorated name and
// answers a call, objects made here are freed by the DLL through its virtual tables,
// _com_error crosses from the DLL, static data imports, angles and resources come out as in
// the MinGW builds, whose suites check what each family does. "consumer exit N" ends with N.
#include <comdef.h>
#include <oleauto.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "kest011.h"
#include "resources/resource_ids.h"
#include "tests/angles/known_angles.h"

// CKestFileVersionInfo's private static text, imported by its decorated name.
extern "C" __declspec(dllimport) char g_notAvailable[MAX_PATH] __asm__(
    "?s_szNotAvailable@CKestFileVersionInfo@@0PADA");

namespace {

int g_passed;
int g_failed;
char g_folder[MAX_PATH];  // this run's, and the current directory

bool check(bool ok, char const* what, int line) {
  ok ? ++g_passed : ++g_failed;
  if (!ok) printf("FAILED line %d: %s\n", line, what);
  return ok;
}
#define CHECK(condition) check((condition), #condition, __LINE__)

bool sameBits(double a, double b) { return memcmp(&a, &b, sizeof a) == 0; }

unsigned short const* wide(wchar_t const* text) {
  return reinterpret_cast<unsigned short const*>(text);
}

bool released(IUnknown* object) {
  if (object) object->Release();
  return object != nullptr;
}

// The angle tables of the MinGW angle suite, and the members that they do not reach.
void angles() {
  using namespace kest::known;
  for (Split const& c : kSplits) {
    int sign = 0, whole = 0, minutes = 0;
    double seconds = -1.0;
    c.split(c.input, sign, whole, minutes, seconds, c.precision);
    check(
        sign == c.sign && whole == c.whole && minutes == c.minutes && sameBits(seconds, c.seconds),
        c.what, __LINE__);
  }
  for (AngleValue const& c : kAngleValues)
    check(sameBits(c.compute(), c.expected), c.what, __LINE__);
  for (DecimalText const& c : kDecimalTexts)
    check(strcmp(angleFrom(c.setter, c.value).AngleToString(c.unit, c.precision), c.text) == 0,
          c.text, __LINE__);
  for (DmsTexts const& c : kDmsTexts)
    for (int i = 0; i < 3; ++i)
      check(strcmp(angleFrom(c.setter, c.value)
                       .AngleToString(CKestAngle::eAngleType(CKestAngle::eDms + i), c.precision),
                   c.texts[i]) == 0,
            c.what, __LINE__);

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
  unsigned long code = 0;
  char* text = nullptr;
  char data[] = "0123456789";
  HANDLE handle = KestFileCreate("data.bin", GENERIC_WRITE, CREATE_NEW, 0, 0, &code, &text);
  CHECK(KestFileWrite(handle, data, 10, &code, &text) == 1 &&
        KestFileSeekEnd(handle, &code, &text) == 1 && KestFileSize(handle, &code, &text) == 10);
  CloseHandle(handle);
  handle = KestFileOpen("data.bin", GENERIC_READ, OPEN_EXISTING, 0, 0, &code, &text);
  CHECK(KestFileSeek(handle, 2, &code, &text) == 1 &&
        KestFileRead(handle, data, 3, &code, &text) == 1 && memcmp(data, "234", 3) == 0);
  CloseHandle(handle);
  // A failure's code and the text in the library's buffer reach this program.
  CHECK(KestFileSize("Z:\\kest-msabi\\missing", &code, &text) == -1 && code != 0 && text[0]);
  CHECK(KestFileHide("data.bin", &code, &text) == 1 &&
        KestFileMove("data.bin", "moved.bin", &code, &text) == 1 &&
        KestFileFind("data.bin", &code, &text) == 0);
  WIN32_FIND_DATAA found = {};
  CHECK(KestDirectoryCreate(g_folder, &code, &text) == 1);  // there already
  FindClose(KestDirectoryFind(g_folder, &found, &code, &text));
  CHECK(strcmp(found.cFileName, strrchr(g_folder, '\\') + 1) == 0);

  int removable = -1;
  char name[] = "a?b";
  CHECK(KestDriveIsEqual("C:\\one", "c:\\two") == 1 && KestFilenameIsValid("a?b") == 0 &&
        KestIsReservedDeviceName("com1") == 1 && KestPathIsValid("C:\\one", 0, &removable) == 1);
  CHECK(KestReplaceInvalidFilenameCharacters(name, '_', 3) == 1 && strcmp(name, "a_b") == 0);
  CHECK(strstr(KestTempFilename(".", "kst"), "\\kst") != nullptr);
  ULARGE_INTEGER bytes = {}, plain = {};
  unsigned long megabytes = 0, plainMegabytes = 0;
  CHECK(KestFreeDiskSpace("C:\\", &bytes) + KestFreeDiskSpaceC("C:\\", &plain) +
            KestFreeDiskSpaceMB("C:\\", &megabytes) +
            KestFreeDiskSpaceMBC("C:\\", &plainMegabytes) ==
        4);
  // Other programs write to the disk meanwhile: the answers agree to 64 megabytes.
  unsigned long long const inMegabytes[] = {plain.QuadPart >> 20, megabytes, plainMegabytes};
  for (unsigned long long const other : inMegabytes)
    CHECK(other - (bytes.QuadPart >> 20) + 64 <= 128);
}

// Points every slot of the DLL's import table that holds `from` at `to`; returns how many.
int redirectImport(void* from, void* to) {
  auto* const base = reinterpret_cast<unsigned char*>(GetModuleHandleA("kest011.dll"));
  auto const* const nt = reinterpret_cast<IMAGE_NT_HEADERS const*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER const*>(base)->e_lfanew);
  auto const* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR const*>(
      base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  int count = 0;
  for (; descriptor->Name != 0; ++descriptor)
    for (auto* slot = reinterpret_cast<void**>(base + descriptor->FirstThunk); *slot; ++slot)
      if (*slot == from) {
        DWORD protection = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
        *slot = to;
        VirtualProtect(slot, sizeof *slot, protection, &protection);
        ++count;
      }
  return count;
}

BSTR WINAPI noMemoryForString(OLECHAR const*) { return nullptr; }

void storage() {
  long code = 0;
  char* text = nullptr;
  IStorage* root = KestOleCreateStgFile("a.stg", &code, &text);
  if (!CHECK(root != nullptr)) return;
  IStorage* folder = KestOleCreateStorage(root, "Folder", nullptr, &code, &text);
  IStream* stream = folder ? KestOleCreateStream(folder, "Page", nullptr, &code, &text) : nullptr;
  char hello[] = "hello";
  CHECK(stream && KestOleWriteStream(stream, hello, 5, &code, &text) == 1);
  released(stream);
  released(folder);
  CHECK(released(KestOleCreateStream(root, wide(L"Wide"), nullptr, &code, &text)) &&
        released(KestOleCreateStorage(root, wide(L"Other"), nullptr, &code, &text)));
  root->Release();

  root = KestOleOpenStgFile(1, wide(L"a.stg"), &code, &text);
  if (!CHECK(root != nullptr)) return;
  STATSTG record = {};
  folder = KestOleOpenStorage(0, root, "Folder", nullptr, &code, &text);
  stream = folder ? KestOleOpenStream(0, folder, "Page", &record, &code, &text) : nullptr;
  char read[16] = {};
  CHECK(stream && KestOleReadStream(stream, read, sizeof read, &code, &text) == 1 &&
        strcmp(read, "hello") == 0 && record.cbSize.QuadPart == 5);
  if (released(stream)) CoTaskMemFree(record.pwcsName);
  released(folder);
  CHECK(released(KestOleOpenStorage(1, root, wide(L"Other"), nullptr, &code, &text)) &&
        released(KestOleOpenStream(1, root, wide(L"Wide"), nullptr, &code, &text)));
  CKestOleEnumElements elements, assigned;
  CHECK(elements.EnumElements(root, &code, &text) == 1);
  assigned = CKestOleEnumElements(elements);
  CHECK(assigned.Size() == 3 && assigned.GetAt(3).pwcsName == nullptr);
  elements.FreeElements();
  CHECK(KestOleFindElement(root, "Folder", STGTY_STORAGE, record, &code, &text) == 1);
  CoTaskMemFree(record.pwcsName);
  CHECK(KestOleFindElement(root, wide(L"Wide"), STGTY_STREAM, record, &code, &text) == 1);
  CoTaskMemFree(record.pwcsName);
  CHECK(KestOleDeleteElement(root, "Folder", &code, &text) == 1 &&
        KestOleDeleteElement(root, wide(L"Wide"), &code, &text) == 1);
  root->Release();
  CHECK(released(KestOleOpenStgFile(0, "a.stg", &code, &text)) &&
        released(KestOleCreateStgFile(wide(L"a.stg"), &code, &text)));
  GUID const id = {0x00020906, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  CHECK(strcmp(KestOleCLSIDAsString(id), "{00020906-0000-0000-C000-000000000046}") == 0);

  // With no memory for its wide copy, a narrow name raises _com_error, which crosses from
  // the DLL into this program; the error out-parameters keep what they held.
  code = 12345;
  HRESULT raised = S_OK;
  void* const allocate = reinterpret_cast<void*>(&SysAllocString);
  void* const failing = reinterpret_cast<void*>(&noMemoryForString);
  CHECK(redirectImport(allocate, failing) > 0);
  try {
    KestOleCreateStgFile("a.stg", &code, &text);
  } catch (_com_error const& error) {
    raised = error.Error();
  }
  redirectImport(failing, allocate);
  CHECK(raised == E_OUTOFMEMORY && code == 12345);
}

void memory() {
  unsigned long code = 0;
  char* text = nullptr;
  CKestMemory block, assigned;
  unsigned char* const address = block.Open(100, 0, &code, &text);
  assigned = CKestMemory(block);
  block.Close();
  CHECK(address && assigned.Address() == address && assigned.Size() == 100);

  CKestMmFile mapped, mappedAssigned;
  void* const view = mapped.Open(CKestMmFile::eRead, "moved.bin", &code, &text);
  unsigned long high = 99;
  CHECK(view && memcmp(view, "0123456789", 10) == 0 && mapped.Size(&high) == 10 && high == 0);
  mappedAssigned = CKestMmFile(mapped);
  mapped.Close();
  mappedAssigned.Close();

  char name[64];
  snprintf(name, sizeof name, "kest-msabi-%lu", GetCurrentProcessId());
  CKestSharedMemory shared, opened, assignedShared;
  void* const bytes = shared.Create(name, 4096, &code, &text);
  CHECK(bytes && shared.Size() == 4096 && shared.Exist(name) == 1);
  CHECK(opened.Open(name, &code, &text) != nullptr);
  assignedShared = CKestSharedMemory(shared);
  shared.Close();
  opened.Close();
  CHECK(static_cast<unsigned char*>(assignedShared) == bytes);
}

SIZE_T busyHeapBytes() {
  HANDLE const heap = GetProcessHeap();
  SIZE_T busy = 0;
  PROCESS_HEAP_ENTRY entry = {};
  HeapLock(heap);
  while (HeapWalk(heap, &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
  HeapUnlock(heap);
  return busy;
}

// Makes one object of each class with `new` and deletes it through a pointer whose target
// the compiler cannot know, so that the DLL's deleting destructor, from its virtual table,
// runs and frees.
template <class... Classes>
void makeAndDelete() {
  (..., [] {
    Classes* volatile object = new Classes;
    delete object;
  }());
}

// This program's `new` allocates from the process heap, so the DLL's deleting destructors
// must free into it: 2,000 objects of each class leave the heap's busy bytes as they were.
void deletingDestructors() {
  SIZE_T const before = busyHeapBytes();
  for (int i = 0; i < 2000; ++i)
    makeAndDelete<CKestAngle, CKestMemory, CKestMmFile, CKestSharedMemory, CKestOleEnumElements,
                  CKestFileVersionInfo, CKestSystemVersionInfo>();
  SIZE_T const after = busyHeapBytes();
  if (!CHECK(after == before))
    printf("  %lu busy bytes, then %lu\n", static_cast<unsigned long>(before),
           static_cast<unsigned long>(after));
}

void processAndUtil(char const* self) {
  char line[2 * MAX_PATH];
  snprintf(line, sizeof line, "\"%s\" exit 7", self);
  unsigned long code = 0;
  CHECK(KestWinExecWait32(nullptr, line, SW_HIDE, nullptr, 0, INFINITE, &code, nullptr) == 7);
  CHECK(KestWinExecWait16(self, line, SW_HIDE, nullptr, 0, INFINITE, &code, nullptr) == 7);

  unsigned char digits[] = "123456789";
  CHECK(KestCrc(digits, 9, 0) == 0xCBF43926 && KestCrc("6789", KestCrc("12345", 0)) == 0xCBF43926);
  CHECK(__KestGcdi(4, -6) == -2 && __KestGcdl(12, 18) == 6 &&
        sameBits(__KestGcdd(0.75, 0.5), 0.25));
  CHECK(__KestLcmi(4, 6) == 12 && __KestLcml(4, 6) == 12 && sameBits(__KestLcmd(0.75, 0.5), 1.5));
  CHECK(KestPlayMidi(nullptr, "Z:\\kest-msabi\\missing.mid") == 0 && KestPauseMidi(nullptr) == 0 &&
        KestResumeMidi(nullptr) == 0 && KestReplayMidi(nullptr) == 0 && KestStopMidi(nullptr) == 1);
  CHECK(KestIsKeyDown(VK_F24) == 0);
}

void frameAndVersion() {
  HINSTANCE const library = GetModuleHandleA("kest011.dll");
  KestSetResourceHandle(GetModuleHandleA(nullptr));
  CHECK(KestGetResourceHandle() == GetModuleHandleA(nullptr));
  KestSetResourceHandle(library);

  CKestSystemVersionInfo system, assignedSystem;
  assignedSystem = CKestSystemVersionInfo(system);
  CHECK(assignedSystem.GetOperatingSystem() == system.GetOperatingSystem());
  CHECK(system.IsUnknownOS() + system.IsWin32S() + system.IsWin95() + system.IsWin98() +
            system.IsNT35() + system.IsNT40() + system.IsWin2000() ==
        1);

  CKestFileVersionInfo info;
  info.Initialize();
  CHECK(info.QueryValue("ProductName", 0) == g_notAvailable &&
        strcmp(g_notAvailable, "Not Available") == 0);
  CHECK(info.Open(library) == 1);
  // The resources as this build's resource compiler wrote them.
  using Info = CKestFileVersionInfo;
  char const* (Info::*const texts[])() = {
      &Info::GetFileVersion,    &Info::GetProductVersion,   &Info::GetCompanyName,
      &Info::GetInternalName,   &Info::GetOriginalFilename, &Info::GetFileDescription,
      &Info::GetLegalCopyright, &Info::GetFixedFileVersion, &Info::GetFixedProductVersion};
  for (auto const get : texts) CHECK(strlen((info.*get)()) > 6);
  CHECK(strcmp(info.GetProductName(), "Kest011") == 0);
  CHECK(strcmp(info.GetFileVersion(), "0, 1, 1, 37") == 0);
  VS_FIXEDFILEINFO fixed = {};
  CHECK(info.GetFixedInfo(fixed) == 1 && fixed.dwFileVersionLS == 0x00010025);
  CHECK(info.GetHelpFileName() == nullptr);  // no kest011.hlp beside the DLL
  Info assigned;
  assigned = Info(info);
  info.Close();
  CHECK(strcmp(assigned.QueryValue("ProductName", 0x040904B0), "Kest011") == 0);
  char path[MAX_PATH];
  GetModuleFileNameA(library, path, MAX_PATH);
  CHECK(info.Open(path) == 1);
  HRSRC const pif =
      FindResourceA(library, MAKEINTRESOURCEA(IDR_PROGRAM_INFORMATION_FILE), "PIFFILE");
  HGLOBAL const pifData = pif ? LoadResource(library, pif) : nullptr;
  CHECK(pifData && SizeofResource(library, pif) == 967 &&
        KestCrc(static_cast<unsigned char*>(LockResource(pifData)), 967, 0) == 0x7FE8C55B);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "exit") == 0) return atoi(argv[2]);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  snprintf(g_folder, sizeof g_folder, "%s\\kest-msabi-%lu", KestTempDirectory(),
           GetCurrentProcessId());
  CreateDirectoryA(g_folder, nullptr);
  SetCurrentDirectoryA(g_folder);
  CoInitialize(nullptr);
  angles();
  filesAndPaths();
  storage();
  memory();
  deletingDestructors();
  processAndUtil(self);
  frameAndVersion();
  CoUninitialize();
  SetFileAttributesA("moved.bin", FILE_ATTRIBUTE_NORMAL);
  char const* const made[] = {"moved.bin", "a.stg"};
  for (char const* name : made)
    if (!DeleteFileA(name)) RemoveDirectoryA(name);
  SetCurrentDirectoryA("..");
  RemoveDirectoryA(g_folder);
  printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
