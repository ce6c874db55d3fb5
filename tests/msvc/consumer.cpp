// A program that uses kest011.dll as one built by Microsoft's compiler would: compiled in
// that ABI against the public headers only, linked with kest011.lib, with no C++ library.
// It calls every exported function and class member with a known answer. Cases are grouped
// by family; the program prints each failure, then "N passed, N failed", and ends with 1
// when any failed.
#include <comdef.h>
#include <oleauto.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "kest011.h"
#include "tests/angles/known_angles.h"

// CKestFileVersionInfo's private static text, reached by its decorated name, as a program
// that imports the data member would.
extern "C" __declspec(dllimport) char g_notAvailable[MAX_PATH] __asm__(
    "?s_szNotAvailable@CKestFileVersionInfo@@0PADA");

namespace {

int g_passed;
int g_failed;
char const* g_group = "";

bool check(bool ok, char const* what, int line) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    printf("FAILED [%s] line %d: %s\n", g_group, line, what);
  }
  return ok;
}
#define CHECK(condition) check((condition), #condition, __LINE__)

bool sameBits(double a, double b) {
  if (a != a && b != b) return true;  // both NaN
  return memcmp(&a, &b, sizeof a) == 0;
}

// The folder of this run, under the library's temporary directory, and names in it.
char g_folder[MAX_PATH];
char const* inFolder(char const* name) {
  static char path[4][MAX_PATH];
  static int next;
  char* const result = path[next++ % 4];
  snprintf(result, MAX_PATH, "%s\\%s", g_folder, name);
  return result;
}

// The peer program beside this one.
char g_peer[MAX_PATH];

// Runs "peer ARGUMENTS" through the library and returns its exit code.
int runPeer(char const* program, char const* arguments) {
  char line[2 * MAX_PATH];
  snprintf(line, sizeof line, "\"%s\" %s", program, arguments);
  void* process = nullptr;
  return KestWinExecWait32(nullptr, line, SW_HIDE, &process, 0, INFINITE, nullptr, nullptr);
}

void frame() {
  g_group = "frame";
  HINSTANCE const library = GetModuleHandleA("kest011.dll");
  CHECK(library != nullptr && KestGetResourceHandle() == library);
  KestSetResourceHandle(GetModuleHandleA(nullptr));
  CHECK(KestGetResourceHandle() == GetModuleHandleA(nullptr));
  KestSetResourceHandle(library);
}

void angles() {
  g_group = "angles";
  using namespace kest::known;
  for (Split const& c : kSplits) {
    int sign = 0, whole = 0, minutes = 0;
    double seconds = -1.0;
    c.split(c.input, sign, whole, minutes, seconds, c.precision);
    if (!check(sign == c.sign && whole == c.whole && minutes == c.minutes &&
                   sameBits(seconds, c.seconds),
               c.what, __LINE__))
      printf("  got %d %d %d %.17g\n", sign, whole, minutes, seconds);
  }
  for (AngleValue const& c : kAngleValues) {
    double const got = c.compute();
    if (!check(sameBits(got, c.expected), c.what, __LINE__)) printf("  got %.17g\n", got);
  }
  for (DecimalText const& c : kDecimalTexts) {
    char const* const got = angleFrom(c.setter, c.value).AngleToString(c.unit, c.precision);
    if (!check(strcmp(got, c.text) == 0, c.text, __LINE__)) printf("  got \"%s\"\n", got);
  }
  for (DmsTexts const& c : kDmsTexts)
    for (int i = 0; i < 3; ++i) {
      char const* const got =
          angleFrom(c.setter, c.value)
              .AngleToString(CKestAngle::eAngleType(CKestAngle::eDms + i), c.precision);
      if (!check(strcmp(got, c.texts[i]) == 0, c.what, __LINE__)) printf("  got \"%s\"\n", got);
    }

  // Members, with values the angle suite of the MinGW builds checks too.
  CKestAngle zero;
  CHECK(sameBits(zero.Rad(), 0.0));
  CHECK(sameBits(CKestAngle(400.0, CKestAngle::eGon).Rad(), 0.0));
  CHECK(sameBits(CKestAngle(10, 20, 30.0).Deg(), 10.341666666666667));
  CKestAngle angle = angleFrom(SetBy::kGon, 100.0);
  CHECK(sameBits(angle.Gon(), 100.00000000000001));
  CHECK(sameBits(angle.Deg(), 90.00000000000001));
  angle.SetDms(10, 20, 30.0);
  CHECK(sameBits(angle.Deg(), 10.341666666666667));
  short degrees = 0;
  unsigned short minutes = 0;
  double seconds = 0.0;
  angleFrom(SetBy::kDeg, -12.5).GetDms(degrees, minutes, seconds, 2);
  CHECK(degrees == -12 && minutes == 65506 && sameBits(seconds, -0.0));
  CKestAngle sum = angleFrom(SetBy::kRad, -1e-17);
  sum.AddRad(0.0);
  CHECK(sameBits(sum.Rad(), 6.283185307179586));
  sum = zero;
  sum.AddDeg(-10.0);
  CHECK(sameBits(sum.Rad(), 6.1086523819801535));
  sum = zero;
  sum.AddGon(-100.0);
  CHECK(sameBits(sum.Rad(), 4.71238898038469));
  sum = zero;
  sum.AddDms(-10, 0, 0.0);
  CHECK(sameBits(sum.Rad(), -0.17453292519943295));
  CKestAngle const copy(sum);
  CHECK(sameBits(copy.Rad(), sum.Rad()));
}

void files() {
  g_group = "files";
  unsigned long code = 99;
  char* text = nullptr;
  char const* const file = inFolder("data.bin");
  HANDLE handle = KestFileCreate(file, GENERIC_READ | GENERIC_WRITE, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, 0, &code, &text);
  if (!CHECK(handle != INVALID_HANDLE_VALUE && code == 0 && text == nullptr)) return;
  char data[] = "0123456789";
  char read[4] = {};
  CHECK(KestFileWrite(handle, data, 10, &code, &text) == 1);
  CHECK(KestFileSeek(handle, 2, &code, &text) == 1);
  CHECK(KestFileRead(handle, read, 3, &code, &text) == 1 && memcmp(read, "234", 3) == 0);
  CHECK(KestFileSeekEnd(handle, &code, &text) == 1);
  CHECK(KestFileSize(handle, &code, &text) == 10);
  CHECK(KestFileRead(handle, read, 1, &code, &text) == 0 && code == 0);  // a short read
  CloseHandle(handle);
  CHECK(KestFileSize(file, &code, &text) == 10);
  handle = KestFileOpen(file, GENERIC_READ, OPEN_EXISTING, 0, FILE_SHARE_READ, &code, &text);
  CHECK(handle != INVALID_HANDLE_VALUE);
  CloseHandle(handle);

  // A failed call reports the system's code and its message in the library's buffer.
  CHECK(KestFileSize("Z:\\kest-msvc\\missing\\file", &code, &text) == -1);
  CHECK((code == ERROR_PATH_NOT_FOUND || code == ERROR_FILE_NOT_FOUND) && text && text[0]);

  CHECK(KestFileFind(file, &code, &text) == 1);
  CHECK(KestFileFind(g_folder, &code, &text) == 0 && code == 0);  // a directory
  // Hidden becomes the only attribute; Wine reports every file as archive too.
  SetFileAttributesA(file, FILE_ATTRIBUTE_READONLY);
  CHECK(KestFileHide(file, &code, &text) == 1 &&
        (GetFileAttributesA(file) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY)) ==
            FILE_ATTRIBUTE_HIDDEN);
  char const* const moved = inFolder("moved.bin");
  CHECK(KestFileMove(file, moved, &code, &text) == 1);
  CHECK(KestFileFind(file, &code, &text) == 0 && KestFileFind(moved, &code, &text) == 1);

  CHECK(KestDirectoryCreate(inFolder("one\\two\\three"), &code, &text) == 1);
  WIN32_FIND_DATAA found;
  HANDLE const search = KestDirectoryFind(inFolder("one\\two\\"), &found, &code, &text);
  CHECK(search != INVALID_HANDLE_VALUE && strcmp(found.cFileName, "two") == 0);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

void paths() {
  g_group = "paths";
  CHECK(KestDriveIsEqual("C:\\one", "c:\\two") == 1);
  CHECK(KestDriveIsEqual("C:\\one", "D:\\one") == 0);
  int removable = -1;
  CHECK(KestPathIsValid(g_folder, 0, &removable) == 1 && removable == 0);
  CHECK(KestFilenameIsValid("name.txt") == 1);
  CHECK(KestFilenameIsValid("a?b") == 0);
  char name[] = "a?b*c";
  CHECK(KestReplaceInvalidFilenameCharacters(name, '_', 3) == 2 && strcmp(name, "a_b_c") == 0);
  CHECK(KestIsReservedDeviceName("com1") == 1);
  CHECK(KestIsReservedDeviceName("com5") == 0);

  char const* const temp = KestTempDirectory();
  CHECK(temp && (GetFileAttributesA(temp) & FILE_ATTRIBUTE_DIRECTORY));
  char const* const unique = KestTempFilename(g_folder, "kst");
  char const* const base = unique ? strrchr(unique, '\\') : nullptr;
  CHECK(base && strncmp(base + 1, "kst", 3) == 0 &&
        GetFileAttributesA(unique) == INVALID_FILE_ATTRIBUTES);

  ULARGE_INTEGER bytes = {};
  ULARGE_INTEGER plain = {};
  unsigned long megabytes = 0;
  unsigned long plainMegabytes = 0;
  CHECK(KestFreeDiskSpace(g_folder, &bytes) == 1 && bytes.QuadPart > 0);
  CHECK(KestFreeDiskSpaceC(g_folder, &plain) == 1 && plain.QuadPart > 0);
  CHECK(KestFreeDiskSpaceMB(g_folder, &megabytes) == 1);
  CHECK(KestFreeDiskSpaceMBC(g_folder, &plainMegabytes) == 1);
  // Other programs write to the disk meanwhile: the answers agree to a few megabytes.
  unsigned long long const expected = plain.QuadPart >> 20;
  CHECK(megabytes + 64 >= expected && megabytes <= expected + 64);
  CHECK(plainMegabytes + 64 >= expected && plainMegabytes <= expected + 64);
  ULARGE_INTEGER untouched = {};
  untouched.QuadPart = 7;
  CHECK(KestFreeDiskSpace("no drive", &untouched) == 0 && untouched.QuadPart == 7);
}

unsigned short const* wide(wchar_t const* text) {
  return reinterpret_cast<unsigned short const*>(text);
}

// While it lives, calls that `module` makes to `function` through its import table go to
// `replacement` instead: a fault the program injects into the DLL from outside.
class RedirectedImport {
 public:
  RedirectedImport(HMODULE module, void* function, void* replacement) {
    auto* const base = reinterpret_cast<unsigned char*>(module);
    auto const* const dos = reinterpret_cast<IMAGE_DOS_HEADER const*>(base);
    auto const* const nt = reinterpret_cast<IMAGE_NT_HEADERS const*>(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY const& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto const* descriptor =
        reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR const*>(base + imports.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor)
      for (auto* slot = reinterpret_cast<void**>(base + descriptor->FirstThunk); *slot; ++slot)
        if (*slot == function && count_ < kMaxSlots) {
          slots_[count_] = slot;
          saved_[count_++] = *slot;
          write(slot, replacement);
        }
  }
  ~RedirectedImport() {
    while (count_ > 0) {
      --count_;
      write(slots_[count_], saved_[count_]);
    }
  }
  int count() const { return count_; }

 private:
  static void write(void** slot, void* value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
  }

  static constexpr int kMaxSlots = 4;
  void** slots_[kMaxSlots];
  void* saved_[kMaxSlots];
  int count_ = 0;
};

BSTR WINAPI noMemoryForString(OLECHAR const*) { return nullptr; }

void storage() {
  g_group = "storage";
  long code = 0;
  char* text = nullptr;
  STATSTG record = {};
  char const* const file = inFolder("a.stg");
  IStorage* root = KestOleCreateStgFile(file, &code, &text);
  if (!CHECK(root != nullptr)) return;
  IStorage* folder = KestOleCreateStorage(root, "Folder", &record, &code, &text);
  CHECK(folder && record.type == STGTY_STORAGE);
  CoTaskMemFree(record.pwcsName);
  IStream* stream = folder ? KestOleCreateStream(folder, "Page", nullptr, &code, &text) : nullptr;
  char hello[] = "hello";
  CHECK(stream && KestOleWriteStream(stream, hello, 5, &code, &text) == 1);
  if (stream) stream->Release();
  if (folder) folder->Release();
  stream = KestOleCreateStream(root, wide(L"Wide"), nullptr, &code, &text);
  CHECK(stream != nullptr);
  if (stream) stream->Release();
  folder = KestOleCreateStorage(root, wide(L"Other"), nullptr, &code, &text);
  CHECK(folder != nullptr);
  if (folder) folder->Release();
  root->Release();

  root = KestOleOpenStgFile(0, file, &code, &text);
  if (!CHECK(root != nullptr)) return;
  folder = KestOleOpenStorage(0, root, "Folder", nullptr, &code, &text);
  stream = folder ? KestOleOpenStream(0, folder, "Page", &record, &code, &text) : nullptr;
  char read[16] = {};
  CHECK(stream && record.cbSize.QuadPart == 5);
  CHECK(stream && KestOleReadStream(stream, read, sizeof read, &code, &text) == 1 &&
        strcmp(read, "hello") == 0);
  if (stream) {
    CoTaskMemFree(record.pwcsName);
    stream->Release();
  }
  if (folder) folder->Release();

  CKestOleEnumElements elements;
  CHECK(elements.EnumElements(root, &code, &text) == 1 && elements.Size() == 3);
  int storages = 0;
  for (unsigned i = 0; i < elements.Size(); ++i)
    storages += elements.GetAt(static_cast<int>(i)).type == STGTY_STORAGE;
  CHECK(storages == 2);
  CHECK(elements.GetAt(3).pwcsName == nullptr);
  CKestOleEnumElements copy(elements);
  CKestOleEnumElements assigned;
  assigned = copy;
  CHECK(copy.Size() == 3 && assigned.Size() == 3);
  elements.FreeElements();
  CHECK(elements.Size() == 0);
  CHECK(KestOleFindElement(root, "Folder", STGTY_STORAGE, record, &code, &text) == 1);
  CoTaskMemFree(record.pwcsName);
  CHECK(KestOleFindElement(root, wide(L"Wide"), STGTY_STORAGE, record, &code, &text) == 0 &&
        code == 0);
  root->Release();

  root = KestOleOpenStgFile(1, wide(L"Z:\\kest-msvc\\missing.stg"), &code, &text);
  CHECK(root == nullptr && code != 0 && text != nullptr);
  WCHAR wideFile[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, file, -1, wideFile, MAX_PATH);
  root = KestOleOpenStgFile(1, wide(wideFile), &code, &text);
  if (!CHECK(root != nullptr)) return;
  folder = KestOleOpenStorage(1, root, wide(L"Other"), nullptr, &code, &text);
  CHECK(folder != nullptr);
  if (folder) folder->Release();
  stream = KestOleOpenStream(1, root, wide(L"Wide"), nullptr, &code, &text);
  CHECK(stream != nullptr);
  if (stream) stream->Release();
  CHECK(KestOleDeleteElement(root, "Folder", &code, &text) == 1);
  CHECK(KestOleDeleteElement(root, wide(L"Wide"), &code, &text) == 1);
  CHECK(KestOleFindElement(root, wide(L"Other"), 0, record, &code, &text) == 1);
  CoTaskMemFree(record.pwcsName);
  root->Release();
  root = KestOleCreateStgFile(wide(wideFile), &code, &text);
  CHECK(root != nullptr);
  if (root) root->Release();

  GUID const id = {0x00020906, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  CHECK(strcmp(KestOleCLSIDAsString(id), "{00020906-0000-0000-C000-000000000046}") == 0);

  // With no memory for its wide copy (SysAllocString fails), a narrow name raises
  // _com_error, which crosses from the DLL into this program; the error out-parameters keep
  // what they held.
  code = 12345;
  HRESULT raised = S_OK;
  {
    RedirectedImport const failing(GetModuleHandleA("kest011.dll"),
                                   reinterpret_cast<void*>(&SysAllocString),
                                   reinterpret_cast<void*>(&noMemoryForString));
    CHECK(failing.count() > 0);
    try {
      KestOleCreateStgFile(inFolder("never.stg"), &code, &text);
    } catch (_com_error const& error) {
      raised = error.Error();
    }
  }
  CHECK(raised == E_OUTOFMEMORY && code == 12345);
  CHECK(GetFileAttributesA(inFolder("never.stg")) == INVALID_FILE_ATTRIBUTES);
}

void memory() {
  g_group = "memory";
  unsigned long code = 0;
  char* text = nullptr;
  CKestMemory block;
  unsigned char* const address = block.Open(100, 0, &code, &text);
  CHECK(address && block.Address() == address && block.Size() == 100 && address[99] == 0);
  CHECK(block.Open(100, 0, &code, &text) == nullptr && code == 0);  // one block per object
  {
    CKestMemory const copy(block);
    CKestMemory assigned;
    assigned = block;
    CHECK(assigned.Address() == address);
  }
  address[0] = 7;
  block.Close();
  CHECK(block.Address() == nullptr && block.Size() == 0);
  // Destruction through the exported virtual table frees what the object holds.
  CKestMemory* const onHeap = new CKestMemory;
  CHECK(onHeap->Open(1 << 20, 0, &code, &text) != nullptr);
  delete onHeap;

  char const* const file = inFolder("mapped.bin");
  HANDLE const handle = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(handle, "mapped bytes", 12, &written, nullptr);
  CloseHandle(handle);
  CKestMmFile mapped;
  void* const view = mapped.Open(CKestMmFile::eRead, file, &code, &text);
  unsigned long high = 99;
  CHECK(view && memcmp(view, "mapped bytes", 12) == 0 && mapped.Size(&high) == 12 && high == 0);
  CKestMmFile copy(mapped);
  CKestMmFile assigned;
  assigned = copy;
  mapped.Close();
  CHECK(memcmp(view, "mapped", 6) == 0);  // the copies still hold the view
  copy.Close();
  assigned.Close();

  char name[64];
  snprintf(name, sizeof name, "kest-msvc-%lu", GetCurrentProcessId());
  CKestSharedMemory shared;
  auto* const bytes = static_cast<unsigned char*>(shared.Create(name, 4096, &code, &text));
  if (!CHECK(bytes && shared.Size() == 4096 && static_cast<unsigned char*>(shared) == bytes))
    return;
  for (unsigned i = 0; i < 4096; ++i) bytes[i] = static_cast<unsigned char>(i % 251);
  CHECK(shared.Exist(name) == 1);
  char arguments[96];
  snprintf(arguments, sizeof arguments, "shared %s", name);
  CHECK(runPeer(g_peer, arguments) == 0 && memcmp(bytes, "pong", 4) == 0);
  CKestSharedMemory opened;
  CHECK(opened.Open(name, &code, &text) != nullptr && opened.Size() == 0);
  CKestSharedMemory const copied(shared);
  CKestSharedMemory later;
  later = copied;
  CHECK(static_cast<unsigned char*>(later) == bytes);
  shared.Close();
  opened.Close();
  later.Close();
}

void process() {
  g_group = "process";
  CHECK(runPeer(g_peer, "exit 42") == 42);
  char line[2 * MAX_PATH];
  snprintf(line, sizeof line, "\"%s\" exit 7", g_peer);
  void* process = nullptr;
  unsigned long code = 0;
  CHECK(KestWinExecWait32(nullptr, line, SW_HIDE, &process, 0, 0, &code, nullptr) == 1 && process);
  DWORD exitCode = 0;
  if (process) {
    WaitForSingleObject(process, INFINITE);
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
  }
  CHECK(exitCode == 7);
  snprintf(line, sizeof line, "\"%s\" exit 9", g_peer);
  CHECK(KestWinExecWait16(g_peer, line, SW_HIDE, nullptr, 0, INFINITE, &code, nullptr) == 9);
}

void version() {
  g_group = "version";
  CKestSystemVersionInfo system;
  CKestSystemVersionInfo copy(system);
  CKestSystemVersionInfo assigned;
  assigned = copy;
  int const family = system.GetOperatingSystem();
  CHECK(assigned.GetOperatingSystem() == family);
  int const named = system.IsUnknownOS() + system.IsWin32S() + system.IsWin95() + system.IsWin98() +
                    system.IsNT35() + system.IsNT40() + system.IsWin2000();
  CHECK(named == 1);
  // Wine runs the peer's copy as Windows NT 4.0 (tests/msvc/prefix.reg).
  char nt40[MAX_PATH];
  snprintf(nt40, sizeof nt40, "%.*skest_msvc_nt40.exe",
           static_cast<int>(strrchr(g_peer, '\\') + 1 - g_peer), g_peer);
  CHECK(runPeer(nt40, "os") == CKestSystemVersionInfo::eNT40);

  CKestFileVersionInfo info;
  info.Initialize();
  CHECK(strcmp(info.QueryValue("ProductName", 0), "Not Available") == 0);
  CHECK(info.QueryValue("ProductName", 0) == g_notAvailable);
  CHECK(info.Open(GetModuleHandleA("kest011.dll")) == 1);
  CHECK(info.Open(GetModuleHandleA("kest011.dll")) == 0);  // open already
  CHECK(strcmp(info.GetFileVersion(), "0, 1, 1, 37") == 0);
  CHECK(strcmp(info.GetProductVersion(), "0, 1, 1, 37") == 0);
  CHECK(strcmp(info.GetProductName(), "Kest011") == 0);
  CHECK(strcmp(info.GetCompanyName(), "Kest011 developers") == 0);
  CHECK(strcmp(info.GetInternalName(), "kest011") == 0);
  CHECK(strcmp(info.GetOriginalFilename(), "kest011.dll") == 0);
  CHECK(strcmp(info.GetFileDescription(), "Kest011 utility library for Windows programs") == 0);
  CHECK(strcmp(info.GetLegalCopyright(), "Copyright (C) 2026 Kest011 developers") == 0);
  CHECK(strcmp(info.QueryValue("ProductName", 0x040904B0), "Kest011") == 0);
  VS_FIXEDFILEINFO fixed = {};
  CHECK(info.GetFixedInfo(fixed) == 1 && fixed.dwFileVersionMS == 0x00000001 &&
        fixed.dwFileVersionLS == 0x00010025);
  CHECK(strcmp(info.GetFixedFileVersion(), "0,1,1,37") == 0);
  CHECK(strcmp(info.GetFixedProductVersion(), "0,1,1,37") == 0);
  CHECK(info.GetHelpFileName() == nullptr);  // no kest011.hlp beside the DLL
  CKestFileVersionInfo const copied(info);
  CKestFileVersionInfo assignedInfo;
  assignedInfo = copied;
  CHECK(strcmp(assignedInfo.GetInternalName(), "kest011") == 0);
  info.Close();
  CHECK(strcmp(info.GetProductName(), "Not Available") == 0);

  // The program information file that the DLL carries, as resources/make_pif.py writes it.
  HMODULE const library = GetModuleHandleA("kest011.dll");
  HRSRC const pif = FindResourceA(library, MAKEINTRESOURCEA(103), "PIFFILE");
  HGLOBAL const pifData = pif ? LoadResource(library, pif) : nullptr;
  CHECK(pifData && SizeofResource(library, pif) == 967 &&
        KestCrc(static_cast<unsigned char*>(LockResource(pifData)), 967, 0) == 0x7FE8C55B);

  char path[MAX_PATH];
  GetModuleFileNameA(GetModuleHandleA("kest011.dll"), path, MAX_PATH);
  CKestFileVersionInfo byPath;
  CHECK(byPath.Open(path) == 1 && strcmp(byPath.GetOriginalFilename(), "kest011.dll") == 0);
}

void util() {
  g_group = "util";
  unsigned char digits[] = "123456789";
  CHECK(KestCrc(digits, 9, 0) == 0xCBF43926);
  CHECK(KestCrc("The quick brown fox jumps over the lazy dog", 0) == 0x414FA339);
  CHECK(KestCrc("6789", KestCrc("12345", 0)) == 0xCBF43926);
  // Long enough for every folding path: whole equals pieces.
  static unsigned char data[100003];
  for (unsigned i = 0; i < sizeof data; ++i) data[i] = static_cast<unsigned char>(i * 7 + (i >> 8));
  unsigned long const whole = KestCrc(data, sizeof data, 0);
  CHECK(KestCrc(data + 777, sizeof data - 777, KestCrc(data, 777, 0)) == whole);

  CHECK(__KestGcdi(4, -6) == -2 && __KestGcdi(-6, 0) == -6);
  CHECK(__KestGcdl(12, 18) == 6);
  CHECK(sameBits(__KestGcdd(0.75, 0.5), 0.25));
  CHECK(__KestLcmi(4, 6) == 12 && __KestLcmi(65536, 65537) == 0);
  CHECK(__KestLcml(4, 6) == 12);
  CHECK(sameBits(__KestLcmd(0.75, 0.5), 1.5));

  CHECK(KestPlayMidi(nullptr, "Z:\\kest-msvc\\missing.mid") == 0);
  CHECK(KestPauseMidi(nullptr) == 0 && KestResumeMidi(nullptr) == 0 &&
        KestReplayMidi(nullptr) == 0);
  CHECK(KestStopMidi(nullptr) == 1);
  CHECK(KestIsKeyDown(VK_F24) == 0);
}

// Removes `path` and everything below it.
void removeTree(char const* path) {
  char pattern[MAX_PATH];
  snprintf(pattern, sizeof pattern, "%s\\*", path);
  WIN32_FIND_DATAA found;
  HANDLE const search = FindFirstFileA(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
      char child[MAX_PATH];
      snprintf(child, sizeof child, "%s\\%s", path, found.cFileName);
      SetFileAttributesA(child, FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        removeTree(child);
      else
        DeleteFileA(child);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path);
}

}  // namespace

int main() {
  GetModuleFileNameA(nullptr, g_peer, MAX_PATH);
  strcpy(strrchr(g_peer, '\\') + 1, "kest_msvc_peer.exe");
  char const* const temp = KestTempDirectory();
  snprintf(g_folder, sizeof g_folder, "%s%skest-msvc-%lu", temp,
           temp[0] && temp[strlen(temp) - 1] == '\\' ? "" : "\\", GetCurrentProcessId());
  CreateDirectoryA(g_folder, nullptr);
  CoInitialize(nullptr);

  frame();
  angles();
  files();
  paths();
  storage();
  memory();
  process();
  version();
  util();

  CoUninitialize();
  removeTree(g_folder);
  printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
