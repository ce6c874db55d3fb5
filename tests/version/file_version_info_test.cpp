// Version resources of the library itself, of test modules built with chosen resources and
// of Wine's own system DLLs.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "kest011/version.h"
#include "support/program_folder.h"
#include "support/temp_folder.h"

namespace {

using kest::test::programFolder;
using kest::test::TempFolder;

std::string const kSample = programFolder() + "kest_version_sample.dll";
char const kNotAvailable[] = "Not Available";

std::string text(char const* value) { return value ? value : "(null)"; }

TEST(FileVersionInfo, ClosedReaderAnswersNotAvailable) {
  CKestFileVersionInfo info;
  for (char const* value :
       {info.GetFileDescription(), info.GetFileVersion(), info.GetInternalName(),
        info.GetCompanyName(), info.GetLegalCopyright(), info.GetOriginalFilename(),
        info.GetProductName(), info.GetProductVersion(), info.QueryValue("ProductName", 0),
        info.GetFixedFileVersion(), info.GetFixedProductVersion()})
    EXPECT_STREQ(value, kNotAvailable);
  EXPECT_EQ(info.GetHelpFileName(), nullptr);
  VS_FIXEDFILEINFO fixed;
  EXPECT_EQ(info.GetFixedInfo(fixed), 0);

  ASSERT_EQ(info.Open(kSample.c_str()), 1);
  EXPECT_STREQ(info.QueryValue(nullptr, 0), kNotAvailable);
  EXPECT_STREQ(info.QueryValue("", 0), kNotAvailable);
  info.Close();
  EXPECT_STREQ(info.GetProductName(), kNotAvailable);
}

TEST(FileVersionInfo, FilesWithoutAUsableResourceAreNotOpened) {
  TempFolder folder;
  std::vector<std::string> const paths = {
      "",
      folder.file("missing.dll"),
      folder.write("plain.txt", "no resource here"),
      programFolder() + "kest_version_untranslated.dll",
      folder.path() + "\\" + std::string(260, 'a') + ".dll",
  };
  CKestFileVersionInfo info;
  EXPECT_EQ(info.Open(static_cast<char const*>(nullptr)), 0);
  for (std::string const& path : paths) {
    SCOPED_TRACE(path);
    EXPECT_EQ(info.Open(path.c_str()), 0);
    EXPECT_STREQ(info.GetProductName(), kNotAvailable);
  }
  // The test program itself carries no version resource.
  EXPECT_EQ(info.Open(static_cast<HINSTANCE>(nullptr)), 0);
}

TEST(FileVersionInfo, ReadsStringsUnderTheFirstOrAGivenTranslation) {
  CKestFileVersionInfo info;
  ASSERT_EQ(info.Open(kSample.c_str()), 1);
  EXPECT_STREQ(info.GetFileDescription(), "Beispielmodul");
  EXPECT_STREQ(info.GetFileVersion(), "10.20.30.40");
  EXPECT_STREQ(info.GetInternalName(), "Engine");
  EXPECT_STREQ(info.GetCompanyName(), "Beispiel GmbH");
  EXPECT_STREQ(info.GetLegalCopyright(), "(C) Beispiel");
  EXPECT_STREQ(info.GetOriginalFilename(), "Sample.dll");
  EXPECT_STREQ(info.GetProductName(), "Beispiel");
  EXPECT_STREQ(info.GetProductVersion(), "1.2.3.4");
  EXPECT_STREQ(info.QueryValue("ProductName", 0x040904B0), "Sample");
  EXPECT_STREQ(info.QueryValue("FileDescription", 0x040904B0), "");
  EXPECT_STREQ(info.QueryValue("NoSuchKey", 0), "");
  EXPECT_STREQ(info.QueryValue("Empty", 0), "");
  // Too long for the buffers: the value is cut, the key refused.
  EXPECT_EQ(std::string(info.QueryValue("Comments", 0)), std::string(259, 'x'));
  EXPECT_STREQ(info.QueryValue(std::string(300, 'K').c_str(), 0), "");
}

TEST(FileVersionInfo, FixedVersionsAsText) {
  CKestFileVersionInfo info;
  ASSERT_EQ(info.Open(kSample.c_str()), 1);
  VS_FIXEDFILEINFO fixed = {};
  ASSERT_EQ(info.GetFixedInfo(fixed), 1);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileVersionMS, static_cast<DWORD>(MAKELONG(20, 10)));
  EXPECT_STREQ(info.GetFixedFileVersion(), "10,20,30,40");
  EXPECT_STREQ(info.GetFixedProductVersion(), "1,2,3,4");
}

TEST(FileVersionInfo, LibraryReadsItsOwnResources) {
  HMODULE const library = GetModuleHandleA("kest011.dll");
  char notAvailable[MAX_PATH] = {};
  ASSERT_GT(LoadStringA(library, 1, notAvailable, MAX_PATH), 0);
  CKestFileVersionInfo info;
  EXPECT_STREQ(info.GetProductName(), notAvailable);
  ASSERT_EQ(info.Open(library), 1);
  EXPECT_STREQ(info.GetFixedFileVersion(), "0,1,1,37");
  EXPECT_STREQ(info.GetFixedProductVersion(), "0,1,1,37");
  EXPECT_STREQ(info.GetFileVersion(), "0, 1, 1, 37");
  EXPECT_STREQ(info.GetOriginalFilename(), "kest011.dll");
}

TEST(FileVersionInfo, ReadsAWineSystemDll) {
  char system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  CKestFileVersionInfo info;
  ASSERT_EQ(info.Open((std::string(system) + "\\kernel32.dll").c_str()), 1);
  VS_FIXEDFILEINFO fixed;
  ASSERT_EQ(info.GetFixedInfo(fixed), 1);
  char expected[64];
  std::snprintf(expected, sizeof expected, "%u,%u,%u,%u", HIWORD(fixed.dwFileVersionMS),
                LOWORD(fixed.dwFileVersionMS), HIWORD(fixed.dwFileVersionLS),
                LOWORD(fixed.dwFileVersionLS));
  EXPECT_STREQ(info.GetFixedFileVersion(), expected);
  EXPECT_STREQ(info.GetOriginalFilename(), "kernel32.dll");
}

TEST(FileVersionInfo, OpenOnAnOpenReaderKeepsTheFirstFile) {
  CKestFileVersionInfo info;
  ASSERT_EQ(info.Open(kSample.c_str()), 1);
  EXPECT_EQ(info.Open(GetModuleHandleA("kest011.dll")), 0);
  EXPECT_STREQ(info.GetProductName(), "Beispiel");
}

TEST(FileVersionInfo, CopiesShareTheResourceUntilTheLastLetsGo) {
  auto copy = std::make_unique<CKestFileVersionInfo>();
  {
    CKestFileVersionInfo original;
    ASSERT_EQ(original.Open(kSample.c_str()), 1);
    *copy = original;
    CKestFileVersionInfo constructed(original);
    original.Close();
    EXPECT_STREQ(constructed.GetProductName(), "Beispiel");
  }
  EXPECT_STREQ(copy->GetProductName(), "Beispiel");
  CKestFileVersionInfo library;
  ASSERT_EQ(library.Open(GetModuleHandleA("kest011.dll")), 1);
  *copy = library;  // lets go of the sample's resource
  *copy = *copy;
  EXPECT_STREQ(copy->GetOriginalFilename(), "kest011.dll");
  library.Close();
  EXPECT_STREQ(copy->GetFixedFileVersion(), "0,1,1,37");
}

// The module is copied to <folder>\Sample.dll; its resource names "docs\Manual.txt" as help
// file and "Engine" as internal name.
TEST(FileVersionInfo, HelpFileFollowsTheFirstCandidateThatExists) {
  struct Case {
    char const* what;
    std::vector<char const*> files;
    char const* expected;  // in the folder, or null
  };
  Case const cases[] = {
      {"help file name, its directory dropped",
       {"Manual.txt", "Manual.hlp", "Sample.hlp"},
       "Manual.hlp"},
      {"internal name, with the module's extension",
       {"Engine.dll", "Engine.hlp", "Sample.hlp"},
       "Engine.hlp"},
      {"internal name without the module's extension", {"Engine", "Sample.hlp"}, "Sample.hlp"},
      {"the module itself", {"Sample.hlp"}, "Sample.hlp"},
      {"first candidate without a .hlp", {"Manual.txt", "Sample.hlp"}, nullptr},
      {"no help file", {}, nullptr},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    std::string const module = folder.file("Sample.dll");
    ASSERT_TRUE(CopyFileA(kSample.c_str(), module.c_str(), FALSE));
    for (char const* file : c.files) folder.write(file, "");
    CKestFileVersionInfo info;
    ASSERT_EQ(info.Open(module.c_str()), 1);
    EXPECT_EQ(text(info.GetHelpFileName()), c.expected ? folder.file(c.expected) : "(null)");
  }
}

}  // namespace
