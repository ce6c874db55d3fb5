// The kest tool's command layer: how it reads a command's words, how it lays out help, and
// what the tool itself answers for help, bad options and a tour with nowhere to work.

#include <gtest/gtest.h>
#include <windows.h>

#include <future>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "kest/command_line.h"
#include "support/temp_folder.h"

namespace {

using kest::cli::ParsedWords;
using Words = std::vector<std::string>;

// The options in order, each as "name=" (takes a value) or "name" (a switch) and a space.
TEST(CommandLine, SynopsisNamesTheOptionsAndWhetherEachTakesAValue) {
  std::pair<char const*, char const*> const cases[] = {
      {"VALUE --from UNIT --to UNIT [--precision N]", "from= to= precision= "},
      {"[--quiet] FILE", "quiet "},  // an operand after a switch is not its value
      {"FILE [[ ] [--", ""},         // stray brackets and dashes name nothing
      {"ls FILE | cat FILE PATH", ""},
      {"", ""}};
  for (auto const& [synopsis, options] : cases) {
    std::string shown;
    for (auto const& option : kest::cli::optionsIn(synopsis))
      shown += option.name + (option.takesValue ? "= " : " ");
    EXPECT_EQ(shown, options) << synopsis;
  }
}

// The words as read: operands, "--name=value" options, "@N" where a lone "--" came,
// "?help", and "!" before the error.
std::string shown(ParsedWords const& parsed) {
  std::string text;
  for (std::string const& operand : parsed.operands) text += " " + operand;
  for (auto const& [name, value] : parsed.options) text += " --" + name + "=" + value;
  if (parsed.operandsBeforeDashes != ParsedWords::kNoDashes)
    text += " @" + std::to_string(parsed.operandsBeforeDashes);
  if (parsed.help) text += " ?help";
  if (!parsed.error.empty()) text += " !" + parsed.error;
  return text.empty() ? text : text.substr(1);
}

TEST(CommandLine, ReadsBothValueFormsDashesHelpAndOperandsThatLookLikeOptions) {
  std::vector<kest::cli::OptionRule> const options = {{"from", true}, {"to", true}, {"16", false}};
  std::pair<char const*, char const*> const cases[] = {
      // Negative numbers and a lone "-" (standard input) are operands, not options.
      {"-12.5 - --to=", "-12.5 - --to="},
      {"--from a --from b", "--from=b"},
      {"--from --to", "--from=--to"},
      {"--16 x -- cmd --16 --help -h", "x cmd --16 --help -h --16= @1"},
      {"-- --", "-- @0"},
      {"a -h", "a ?help"},
      {"--bogus --help", "?help !unknown option --bogus"},
      {"--bogus=1", "!unknown option --bogus"},
      {"x --to", "x !--to needs a value"},
      {"-x --fro deg", "-x deg !unknown option --fro"}};
  for (auto const& [words, parsed] : cases) {
    std::istringstream in(words);  // split at blanks
    Words const split{std::istream_iterator<std::string>(in), {}};
    EXPECT_EQ(shown(kest::cli::parseWords(options, split)), parsed) << words;
  }
}

TEST(CommandLine, WrapsWithinTheWidthKeepingBracketsTogether) {
  std::string const synopsis = "usage: kest run [--timeout MS] [--show N] [--16] -- COMMAND LINE";
  EXPECT_EQ(kest::cli::wrapText(synopsis, 41, 16),
            "usage: kest run [--timeout MS] [--show N]\n"
            "                [--16] -- COMMAND LINE\n");
  EXPECT_EQ(kest::cli::wrapText("aa bb cc", 8, 2, 3), "aa bb\n  cc\n");
  EXPECT_EQ(kest::cli::wrapText("a verylongword b", 6, 1), "a\n verylongword\n b\n");
  EXPECT_EQ(kest::cli::wrapText("", 80, 0), "\n");
}

// ---- The tool, run as a user would -------------------------------------------------------

struct ToolRun {
  DWORD status;
  std::string out, err;
};

// kest.exe from the build's bin folder, run by the command interpreter with the command line
// `words` and its output going to files; `tmp`, when given, is its TMP.
ToolRun runKest(std::string const& words, std::string const& tmp = "") {
  kest::test::TempFolder folder;
  std::string const out = folder.file("out"), err = folder.file("err");
  std::string const line = (tmp.empty() ? "" : "set \"TMP=" + tmp + "\"&& ") + "\"" +
                           kest::test::programFolder() + "kest.exe\" " + words + " >\"" + out +
                           "\" 2>\"" + err + "\"";
  DWORD const status = system(("\"" + line + "\"").c_str());
  return {status, kest::test::readFile(out), kest::test::readFile(err)};
}

// Exit status (1: failed, 2: bad usage), stdout's start, what either holds, no line wider than
// a console. Doubles print as the shortest text that reads back, never "5e+01" for a whole.
TEST(Tool, ExitStatusAndResultOfEachOptionFormAndOfBadUsage) {
  std::tuple<char const*, DWORD, char const*, char const*> const cases[] = {
      {"--help", 0, "usage: kest COMMAND",
       "  verinfo   print a file's version resource\r\n\r\nExit"},
      {"-h", 0, "usage: kest COMMAND", ""},
      {"help angle", 0, "usage: kest angle", ""},  // the other way to ask for help
      {"angle 12.5 --from nowhere -h", 0, "usage: kest angle", ""},
      {"stg --help", 0, "usage: kest stg ls FILE\r\n       kest stg cat FILE PATH\r\n", ""},
      {"run --help", 0,
       "usage: kest run [--timeout MS] [--show N] [--16] -- COMMAND LINE\r\n\r\nStart",
       "\r\nWaits up to MS milliseconds (by default without limit) and prints the library's\r\n"},
      {"angle 12.5 --from=deg --to dms", 0, "12.3", ""},
      {"angle --to=dms-split --from deg -- -12.5", 0, "-1 12 30 0", ""},
      {"angle 12.5 --from deg --to furlong", 2, "", ""},
      {"mv --no-such-option", 2, "", "kest mv: unknown option --no-such-option\r\nusage: kest mv"},
      {"run --timeout=0 -- cmd.exe /c exit 3", 1, "KestWinExecWait32 -> 1", ""},
      {"run -- cmd.exe /c exit 7", 7, "KestWinExecWait32 -> 7", ""},  // the program's code
      {"run --16=1 -- cmd.exe", 2, "", ""},
      {"run cmd.exe /c exit 3", 2, "", ""},  // the command line must follow --
      {"tour extra", 2, "", ""},
      {"no-such-command", 2, "", ""},
      {"filesize Z:\\nonexistent\\kest-missing-file", 1, "", ""},
      {"path check A:\\dir\\con", 0,  // A: is the prefix's removable drive
       "valid path: yes\r\nremovable drive: yes\r\nreserved device name: yes\r\n", ""},
      {"gcd -4.0 6", 0, "6\r\n", ""},  // the double form: the int form gives 2
      {"lcm 120.0 80", 0, "240\r\n", ""}};
  std::vector<std::future<ToolRun>> runs;  // side by side
  for (auto const& row : cases)
    runs.push_back(std::async(std::launch::async, runKest, std::get<0>(row), ""));
  for (std::size_t i = 0; i < runs.size(); ++i) {
    auto const& [words, status, out, holds] = cases[i];
    ToolRun const run = runs[i].get();
    EXPECT_EQ(run.status, status) << words << ": " << run.err;
    EXPECT_EQ(run.out.rfind(out, 0), 0u) << words << ": " << run.out;
    EXPECT_NE((run.out + run.err).find(holds), std::string::npos) << words << ": " << run.err;
    std::istringstream lines(run.out + run.err);
    for (std::string line; std::getline(lines, line);)  // each with its carriage return
      EXPECT_LE(line.size(), 81u) << words << ": " << line;
  }
}

// GetTempPathA hands back TMP without looking at it, so the tour's folder has no parent.
TEST(Tool, TourWithoutAWorkingFolderFailsInsteadOfTryingForever) {
  kest::test::TempFolder folder;
  std::string const missing = folder.file("missing\\deeper\\");
  ToolRun const run = runKest("tour", missing);
  EXPECT_EQ(run.status, 1u);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("kest tour: cannot make the working folder " + missing), std::string::npos)
      << run.err;
  EXPECT_EQ(GetFileAttributesA(folder.file("missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
