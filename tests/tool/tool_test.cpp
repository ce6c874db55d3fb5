// The kest tool's command layer: how it reads a command's words, how it lays out help, and
// what the tool itself answers for help, bad options and a tour with nowhere to work.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "kest/command_line.h"
#include "support/temp_folder.h"

namespace {

using kest::cli::ParsedWords;
using Words = std::vector<std::string>;

// `text` in parts at each `separator`, without carriage returns.
Words split(std::string const& text, char separator) {
  Words parts(1);
  for (char const c : text)
    if (c == separator)
      parts.emplace_back();
    else if (c != '\r')
      parts.back() += c;
  return parts;
}

// The options in order, each as "name=" (takes a value) or "name" (a switch) and a space.
TEST(CommandLine, SynopsisNamesTheOptionsAndWhetherEachTakesAValue) {
  std::pair<char const*, char const*> const cases[] = {
      {"VALUE --from UNIT --to UNIT [--precision N]", "from= to= precision= "},
      {"[--timeout MS] [--show N] [--16] -- COMMAND LINE", "timeout= show= 16 "},
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
  for (auto const& [words, parsed] : cases)
    EXPECT_EQ(shown(kest::cli::parseWords(options, split(words, ' '))), parsed) << words;
}

TEST(CommandLine, WrapsWithinTheWidthKeepingBracketsTogether) {
  std::string const synopsis = "usage: kest run [--timeout MS] [--show N] [--16] -- COMMAND LINE";
  EXPECT_EQ(kest::cli::wrapText(synopsis, 41, 16),
            "usage: kest run [--timeout MS] [--show N]\n"
            "                [--16] -- COMMAND LINE\n");
  EXPECT_EQ(kest::cli::wrapText("aa bb cc", 8, 2, 3), "aa bb\n  cc\n");
  EXPECT_EQ(kest::cli::wrapText("a verylongword b", 6, 1), "a\n verylongword\n b\n");
  EXPECT_EQ(kest::cli::wrapText("", 80, 0), "\n");
  EXPECT_EQ(kest::cli::alternativesIn("ls FILE | cat FILE PATH | new [a | b]"),
            (Words{"ls FILE", "cat FILE PATH", "new [a | b]"}));
}

// ---- The tool, run as a user would -------------------------------------------------------

struct ToolRun {
  DWORD status;
  std::string out, err;
};

// kest.exe from the build's bin folder, started with the command line `words` and its output
// going to files; `tmp`, when given, is its TMP. Runs start at once and are waited for in
// result(), so a table of them runs side by side.
class KestRun {
 public:
  explicit KestRun(std::string const& words, char const* tmp = nullptr) {
    std::string line = "\"" + kest::test::programFolder() + "kest.exe\" " + words;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    for (auto [handle, name] : {std::pair(&out_, "out"), std::pair(&err_, "err")})
      *handle = CreateFileA(folder_.file(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                            CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out_;
    startup.hStdError = err_;
    char saved[MAX_PATH] = "";
    bool const hadTmp = tmp && GetEnvironmentVariableA("TMP", saved, MAX_PATH) > 0;
    if (tmp) SetEnvironmentVariableA("TMP", tmp);  // inherited by the tool
    CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                   &process_);
    if (tmp) SetEnvironmentVariableA("TMP", hadTmp ? saved : nullptr);
  }
  ~KestRun() {
    for (HANDLE handle : {process_.hThread, process_.hProcess, out_, err_}) CloseHandle(handle);
  }
  KestRun(KestRun const&) = delete;
  KestRun& operator=(KestRun const&) = delete;

  // Status -1 when the tool could not be started, WAIT_TIMEOUT when it ran for a minute.
  ToolRun result() {
    DWORD status = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process_.hProcess, 60000) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, WAIT_TIMEOUT);
    WaitForSingleObject(process_.hProcess, INFINITE);
    GetExitCodeProcess(process_.hProcess, &status);
    return {status, kest::test::readFile(folder_.file("out")),
            kest::test::readFile(folder_.file("err"))};
  }

 private:
  kest::test::TempFolder folder_;
  HANDLE out_, err_;
  PROCESS_INFORMATION process_{};
};

ToolRun runKest(std::string const& words) { return KestRun(words).result(); }

void expectWithinConsoleWidth(std::string const& text) {
  for (std::string const& line : split(text, '\n')) EXPECT_LE(line.size(), 80u) << line;
}

TEST(Tool, EveryCommandExplainsItselfAndRejectsAnUnknownOption) {
  ToolRun const help = runKest("--help");
  ASSERT_EQ(help.status, 0u) << help.err;
  expectWithinConsoleWidth(help.out);
  // The commands: the word at the start of each line indented by two after "commands:".
  Words names;
  Words const lines = split(help.out, '\n');
  for (auto line = std::find(lines.begin(), lines.end(), "commands:"); line != lines.end(); ++line)
    if (line->rfind("  ", 0) == 0 && (*line)[2] != ' ')
      names.push_back(line->substr(2, line->find(' ', 2) - 2));
  EXPECT_GE(names.size(), 20u) << help.out;
  std::vector<std::unique_ptr<KestRun>> helps, bads;
  for (std::string const& name : names) {
    helps.push_back(std::make_unique<KestRun>(name + " --help"));
    bads.push_back(std::make_unique<KestRun>(name + " --no-such-option"));
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    std::string const usage = "usage: kest " + names[i];
    ToolRun const own = helps[i]->result();
    EXPECT_EQ(own.status, 0u);
    EXPECT_EQ(own.out.rfind(usage, 0), 0u) << own.out;
    EXPECT_EQ(own.err, "");
    expectWithinConsoleWidth(own.out);

    ToolRun const bad = bads[i]->result();
    EXPECT_EQ(bad.status, 2u);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("unknown option --no-such-option"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find(usage), std::string::npos) << bad.err;
  }
}

// Exit status 0, 1 for a failed operation, 2 for bad usage; and what stdout begins with.
// Double results are the shortest text that reads back, but never in exponent form for a
// whole part ("5e+01").
TEST(Tool, ExitStatusAndResultOfEachOptionFormAndOfBadUsage) {
  std::tuple<char const*, DWORD, char const*> const cases[] = {
      {"angle -h", 0, "usage: kest angle"},  // the other ways to ask for help
      {"help angle", 0, "usage: kest angle"},
      {"angle 12.5 --from nowhere -h", 0, "usage: kest angle"},
      {"angle 12.5 --from=deg --to dms", 0, "12.3"},
      {"angle --to=dms-split --from deg -- -12.5", 0, "-1 12 30 0"},
      {"angle 12.5 --from deg --to dms --precision", 2, ""},
      {"angle 12.5 --from deg --to furlong", 2, ""},
      {"run --timeout=0 -- cmd.exe /c exit 3", 1, "KestWinExecWait32 -> 1"},
      {"run --16=1 -- cmd.exe", 2, ""},
      {"run cmd.exe /c exit 3", 2, ""},  // the command line must follow --
      {"tour extra", 2, ""},
      {"no-such-command", 2, ""},
      {"filesize Z:\\nonexistent\\kest-missing-file", 1, ""},
      {"gcd 100.0 50", 0, "50\r\n"},
      {"lcm 120.0 80", 0, "240\r\n"}};
  std::vector<std::unique_ptr<KestRun>> runs;
  for (auto const& [words, status, out] : cases) runs.push_back(std::make_unique<KestRun>(words));
  for (std::size_t i = 0; i < runs.size(); ++i) {
    auto const& [words, status, out] = cases[i];
    ToolRun const run = runs[i]->result();
    EXPECT_EQ(run.status, status) << words << ": " << run.err;
    EXPECT_EQ(run.out.rfind(out, 0), 0u) << words << ": " << run.out;
  }
}

// GetTempPathA hands back TMP without looking at it, so the tour's folder has no parent.
TEST(Tool, TourWithoutAWorkingFolderFailsInsteadOfTryingForever) {
  kest::test::TempFolder folder;
  std::string const missing = folder.file("missing\\deeper\\");
  ToolRun const run = KestRun("tour", missing.c_str()).result();
  EXPECT_EQ(run.status, 1u);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("kest tour: cannot make the working folder " + missing), std::string::npos)
      << run.err;
  EXPECT_EQ(GetFileAttributesA(folder.file("missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
