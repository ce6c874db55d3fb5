// The narrow API under 932, 936, 950, 949 and (the twin, by its manifest) 65001, on names written
// in UTF-16; judged by the system: wide forms' classes, the folder listed, the child's line.

#include <comdef.h>
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "kest011.h"
#include "storage/wide_name.h"
#include "support/temp_folder.h"

namespace {

using Names = std::set<std::wstring>;

// What a scan by bytes trips over in this code page: second bytes 0x5C ('\', first and last)
// and 0x7C ('|'): ソポ表 83 5C, 83 7C, 95 5C; 淺東淺 9C 5C, 96 7C, 9C 5C; 許四功 B3 5C, A5 7C,
// A5 5C. In 949 and UTF-8, where no ASCII byte is part of a character, characters of 2-4 bytes.
std::wstring awkward() {
  for (auto [codePage, text] :
       {std::pair{932u, L"ソポ表"}, {936u, L"淺東淺"}, {950u, L"許四功"}, {949u, L"한국"}})
    if (GetACP() == codePage) return text;
  return L"ソ表\U0001F600";
}

std::wstring expand(std::wstring row) {  // each '$' stands for the awkward characters
  for (size_t at; (at = row.find(L'$')) != std::wstring::npos;) row.replace(at, 1, awkward());
  return row;
}

std::string narrow(std::wstring const& text) {
  std::string bytes(text.size() * 4, '\0');
  bytes.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), &bytes[0],
                                   int(bytes.size()), nullptr, nullptr));
  return bytes;
}

std::wstring wideOf(std::string const& bytes) {  // empty for what is no text in the code page
  std::wstring text(bytes.size(), L'\0');
  text.resize(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                                  &text[0], int(text.size())));
  return text;
}

// The longest start of `bytes` within `limit` that is text in the code page.
std::wstring cutToText(std::string const& bytes, size_t limit) {
  std::wstring const text = wideOf(bytes.substr(0, limit));
  return text.empty() ? cutToText(bytes, limit - 1) : text;
}

// `text` with '_' for each character whose units lack all of `classes`, counted in `count`.
std::wstring replaced(std::wstring const& text, unsigned classes, unsigned& count) {
  std::wstring result;
  count = 0;
  for (size_t at = 0, units; at < text.size(); at += units) {
    units = IS_HIGH_SURROGATE(text[at]) ? 2 : 1;
    bool const valid =
        PathGetCharTypeW(text[at]) & PathGetCharTypeW(text[at + units - 1]) & classes;
    result += valid ? text.substr(at, units) : L"_";
    count += !valid;
  }
  return result;
}

Names listed(std::string const& folder) {
  Names names;
  WIN32_FIND_DATAW found;
  HANDLE const find = FindFirstFileW(wideOf(folder + "\\*").c_str(), &found);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found))
    if (found.cFileName[0] != L'.') names.insert(found.cFileName);
  FindClose(find);
  return names;
}

TEST(CodePages, NamesAndPathsAreJudgedByWholeCharacters) {
  EXPECT_STREQ(std::to_string(GetACP()).c_str(), std::getenv("KEST_CODE_PAGE"));
  unsigned const name = GCT_LFNCHAR | GCT_SHORTCHAR;
  for (wchar_t const* row : {L"$", L"a$b", L"$|x$", L"$\\", L"$*", L" $ ", L"  "}) {
    std::wstring const wide = expand(row);
    unsigned count = 0;
    bool const valid = replaced(wide, name, count) == wide && wide != L"  ";
    EXPECT_EQ(KestFilenameIsValid(narrow(wide).c_str()), int(valid)) << narrow(wide);
    for (unsigned classes : {name, unsigned{GCT_SEPARATOR}}) {
      std::string bytes = narrow(wide);
      std::wstring const expected = replaced(wide, classes, count);
      EXPECT_EQ(KestReplaceInvalidFilenameCharacters(&bytes[0], '_', classes), count) << bytes;
      EXPECT_EQ(wideOf(bytes.c_str()), expected);
    }
  }
  std::string bytes = narrow(expand(L"$|$"));
  EXPECT_EQ(KestReplaceInvalidFilenameCharacters(&bytes[0], '\0', name), 1u);
  EXPECT_STREQ(bytes.c_str(), narrow(awkward()).c_str());
  // Ending inside a character, a name is no text: refused, and its last bytes replaced as one.
  std::string const cut = narrow(expand(L"a$")).substr(0, narrow(expand(L"a$")).size() - 1);
  EXPECT_EQ(KestFilenameIsValid(cut.c_str()), 0);
  bytes = cut;
  EXPECT_EQ(KestReplaceInvalidFilenameCharacters(&bytes[0], '_', name), 1u);
  EXPECT_EQ(wideOf(bytes.c_str()), cutToText(cut, cut.size()) + L"_");
  // So are storage names: the overloads' conversion alone, as GCC's i686 exceptions stay home.
  EXPECT_THROW(kest::WideName{cut.c_str()}, _com_error);
  std::pair<wchar_t const*, int> const paths[] = {{L"C:\\x\\$\\a.txt", 1},
                                                  {L"C:\\x\\$\\", 1},  //
                                                  {L"C:\\x\\$|\\a", 0},
                                                  {L"C:\\x\\$\\\\a", 0}};
  for (auto [row, valid] : paths)
    EXPECT_EQ(KestPathIsValid(narrow(expand(row)).c_str(), 0, nullptr), valid) << valid;
}

TEST(CodePages, DirectoriesAreMadeAtRealBackslashesOnlyAndTempPrefixesJudgedWhole) {
  kest::test::TempFolder folder;
  EXPECT_EQ(KestDirectoryCreate((folder.path() + narrow(expand(L"\\$\\sub"))).c_str(), 0, 0), 1);
  EXPECT_EQ(KestDirectoryCreate((folder.path() + narrow(expand(L"\\a$"))).c_str(), 0, 0), 1);
  // A path of one character is refused, whatever its bytes.
  SetCurrentDirectoryA(folder.path().c_str());
  EXPECT_EQ(KestDirectoryCreate(narrow(awkward().substr(0, 1)).c_str(), 0, 0), 0);
  SetCurrentDirectoryA(kest::test::programFolder().c_str());
  EXPECT_EQ(listed(folder.path()), (Names{awkward(), L"a" + awkward()}));
  EXPECT_EQ(listed(folder.path() + narrow(expand(L"\\$"))), Names{L"sub"});
  // The runtime takes TMP's folder and, under Wine, three characters of the prefix.
  char const* name = KestTempFilename(folder.path().c_str(), narrow(awkward()).c_str());
  EXPECT_NE(wideOf(name ? name : "").find(L"\\" + awkward().substr(0, 2)), std::wstring::npos);
  EXPECT_EQ(KestTempFilename(folder.path().c_str(), narrow(expand(L"$\\x")).c_str()), nullptr);
}

// Cut texts: the longest start of whole characters within 259 bytes. (Wine drops a lone lead
// byte ending a command line it converts: there only UTF-8 shows the line's cut.) From 8 bytes
// past a multiple of 10 on, the limit falls inside a character of 2, and of 3, 3 and 4 bytes.
TEST(CodePages, LongCommandLinesAndVersionValuesAreCutAfterAWholeCharacter) {
  kest::test::TempFolder folder;
  std::wstring line = wideOf("x child " + folder.file("line.txt") + " ");
  while (narrow(line).size() % 10 != 8) line += L'-';
  while (narrow(line).size() < 300) line += awkward();
  ASSERT_EQ(KestWinExecWait32(_pgmptr, narrow(line).c_str(), SW_HIDE, 0, 0, INFINITE, 0, 0), 0);
  std::string const got = kest::test::readFile(folder.file("line.txt"));
  EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t const*>(got.data()), got.size() / 2),
            cutToText(narrow(line), 259));
  CKestFileVersionInfo info;  // the program's Comments (code_pages.rc): α 200 times
  ASSERT_EQ(info.Open(HINSTANCE{}), 1);
  EXPECT_EQ(wideOf(info.QueryValue("Comments", 0)),
            cutToText(narrow(std::wstring(200, L'α')), 259));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "child")  // keeps the line it received
    return !std::ofstream(argv[2], std::ios::binary)
                .write(reinterpret_cast<char const*>(GetCommandLineW()),
                       2 * wcslen(GetCommandLineW()));
  std::printf("GetACP() %u\n", GetACP());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
