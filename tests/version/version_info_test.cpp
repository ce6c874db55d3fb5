// Version resources of the library and of modules built with chosen resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "kest011/frame.h"
#include "kest011/process.h"
#include "kest011/version.h"
#include "support/temp_folder.h"
#include "version/operating_system_family.h"

namespace {

using OS = CKestSystemVersionInfo;
std::string const kFolder = kest::test::programFolder();
std::string const kSample = kFolder + "kest_version_sample.dll";
std::string const kLibrary = kFolder + "kest011.dll";

TEST(FileVersionInfo, ReadsTheTablesFirstTranslationOrAGivenOne) {
  CKestFileVersionInfo info;
  // Not opened: no path, no translation table, no file, paths past the buffer, no module.
  for (std::string const& path :
       {std::string(), kFolder + "kest_version_untranslated.dll", kFolder + "missing.dll",
        kFolder + std::string(260, 'a'), std::string(100000, 'd')}) {
    EXPECT_EQ(info.Open(path.c_str()), 0) << path.size();
    EXPECT_EQ(info.GetHelpFileName(), nullptr) << path.size();
  }
  EXPECT_EQ(info.Open(static_cast<char const*>(nullptr)), 0);
  EXPECT_EQ(info.Open(reinterpret_cast<HINSTANCE>(1)), 0);
  ASSERT_EQ(info.Open(kSample.c_str()), 1);
  EXPECT_EQ(info.Open(GetModuleHandleA("kest011.dll")), 0);  // open already
  EXPECT_STREQ(info.QueryValue("ProductName", 0x040904B0), "Sample");
  EXPECT_STREQ(info.QueryValue(info.GetInternalName(), 0), "Motor");  // a name from the buffer
  EXPECT_EQ(std::string(info.QueryValue("Comments", 0)), std::string(259, 'x'));  // cut to fit
  EXPECT_STREQ(info.GetFixedProductVersion(), "0,0,0,0");
  // Names that are null or empty, too long for the key, or absent: never past a buffer.
  std::string const longName(259, 'k'), hugeName(100000, 'h');
  std::tuple<char const*, unsigned long, char const*> const rows[] = {
      {nullptr, 0, "Not Available"},   {"", 0, "Not Available"},  {"NoSuchValue", 0, ""},
      {"ProductName", 0xFFFFFFFF, ""}, {longName.c_str(), 0, ""}, {hugeName.c_str(), 0, ""}};
  for (auto [name, translation, value] : rows)
    EXPECT_STREQ(info.QueryValue(name, translation), value) << (name ? std::strlen(name) : 0);
}

// Holds up the first thread to touch a guarded page while the others run into its load.
LONG CALLBACK holdUpFirstReader(EXCEPTION_POINTERS* exception) {
  if (exception->ExceptionRecord->ExceptionCode != STATUS_GUARD_PAGE_VIOLATION)
    return EXCEPTION_CONTINUE_SEARCH;
  Sleep(300);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The process's first objects, made on eight threads at once, all see the fallback text: the
// others wait while one loads it from a data-file copy of the library, stalled by its guard.
TEST(FileVersionInfo, FirstConstructionsOnManyThreadsAllSeeTheFallbackText) {
  HMODULE const copy = LoadLibraryExA(kLibrary.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(copy, nullptr);
  void* const handler = AddVectoredExceptionHandler(1, holdUpFirstReader);
  int const threads = 8;
  std::atomic<int> arrived{0}, wrong{0}, go{0};
  std::vector<std::thread> running;
  for (int t = 0; t < threads; ++t)
    running.emplace_back([&] {
      for (++arrived; !go;) {
      }
      CKestFileVersionInfo info;
      if (std::string(info.GetProductName()) != "Not Available") ++wrong;
    });
  // Every thread has started, so no thread start sets the resource handle back any more.
  while (arrived < threads) Sleep(1);
  KestSetResourceHandle(copy);
  DWORD old = 0;
  void* const headers = reinterpret_cast<void*>(reinterpret_cast<ULONG_PTR>(copy) & ~ULONG_PTR{3});
  bool const guarded = VirtualProtect(headers, 1, PAGE_READONLY | PAGE_GUARD, &old);
  go = 1;
  for (std::thread& thread : running) thread.join();
  EXPECT_TRUE(guarded && wrong == 0) << guarded << " " << wrong;
  RemoveVectoredExceptionHandler(handler);
  FreeLibrary(copy);
}

// As Sample.dll the module names help file "docs\Manual.txt" and internal name "Engine": the
// first found beside it names the .hlp file; a .hlp name of 260 characters gives none, not cut.
TEST(FileVersionInfo, HelpFileFollowsTheFirstCandidateThatExistsAndIsNeverCut) {
  kest::test::TempFolder folder;
  ASSERT_TRUE(CopyFileA(kSample.c_str(), folder.file("Sample.dll").c_str(), FALSE));
  std::string const stem = folder.file(std::string(MAX_PATH - 5 - folder.path().size(), 's'));
  folder.write(stem.substr(folder.path().size() + 1) + ".hl", "");  // what a cut name finds
  ASSERT_TRUE(CopyFileA(kSample.c_str(), (stem + ".d").c_str(), FALSE));
  CKestFileVersionInfo info;
  ASSERT_EQ(info.Open((stem + ".d").c_str()), 1);
  EXPECT_EQ(info.GetHelpFileName(), nullptr);
  info.Close();
  ASSERT_EQ(info.Open(folder.file("Sample.dll").c_str()), 1);
  using Step = std::pair<char const*, char const*>;  // file written, help file then
  for (auto [file, helpFile] : {Step{"Sample.hlp", "Sample.hlp"}, Step{"Engine.dll", nullptr},
                                Step{"Engine.hlp", "Engine.hlp"}, Step{"Manual.txt", nullptr},
                                Step{"Manual.hlp", "Manual.hlp"}}) {
    folder.write(file, "");
    char const* found = info.GetHelpFileName();
    EXPECT_EQ(found ? found : "-", helpFile ? folder.file(helpFile) : "-") << file;
  }
}

// The versions Wine can be run by probes that the prefix gives them; the table, the rest.
TEST(OperatingSystemFamily, OfWineVersionsAndOfTheRowsNoWineVersionGives) {
  using Probe = std::pair<char const*, OS::eOperatingSystem>;
  for (auto [version, family] :
       {Probe{"win95", OS::eWin95}, Probe{"win98", OS::eWin98}, Probe{"nt40", OS::eNT40},
        Probe{"winxp", OS::eWin2000}, Probe{"win7", OS::eUnknownOS}})
    EXPECT_EQ(KestWinExecWait32(nullptr, ("kest_os_" + std::string(version) + ".exe").c_str(),
                                SW_HIDE, nullptr, 0, INFINITE, nullptr, nullptr),
              family);
  unsigned long const k9x = VER_PLATFORM_WIN32_WINDOWS, kNT = VER_PLATFORM_WIN32_NT;
  using Row = std::tuple<unsigned long, unsigned long, unsigned long, OS::eOperatingSystem>;
  for (auto [platform, major, minor, family] :
       {Row{VER_PLATFORM_WIN32s, 3, 10, OS::eWin32S}, Row{k9x, 3, 95, OS::eWin95},
        Row{k9x, 4, 90, OS::eWin98}, Row{k9x, 5, 0, OS::eWin98}, Row{kNT, 3, 51, OS::eNT35},
        Row{kNT, 5, 2, OS::eWin2000}, Row{3, 4, 0, OS::eUnknownOS}})
    EXPECT_EQ(kest::operatingSystemFamily(platform, major, minor), family) << major << minor;
}

}  // namespace
