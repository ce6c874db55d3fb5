// kest: the Kest011 library from the command line.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "kest/command.h"

namespace kest::cli {
namespace {

// Summaries start in this column of `kest --help`, past the longest name.
constexpr std::size_t kSummaryColumn = 12;

void printHelp(FILE* out) {
  std::fputs(
      "usage: kest COMMAND [ARGS...]\n"
      "       kest COMMAND --help     the command's usage and what it does\n"
      "\ncommands:\n",
      out);
  std::vector<Command> sorted = commands();
  std::sort(sorted.begin(), sorted.end(),
            [](Command const& a, Command const& b) { return std::strcmp(a.name, b.name) < 0; });
  for (Command const& command : sorted) {
    std::string name = std::string("  ") + command.name;
    name.resize(std::max(name.size() + 2, kSummaryColumn), ' ');
    std::fputs(name.c_str(), out);
    std::fputs(wrapText(command.summary, kColumns, kSummaryColumn, name.size()).c_str(), out);
  }
  std::fputs("\nExit status: 0 success, 1 a failed operation (reason on stderr), 2 bad usage.\n",
             out);
}

}  // namespace
}  // namespace kest::cli

int main(int argc, char** argv) {
  using namespace kest::cli;
  if (argc < 2) {
    printHelp(stderr);
    return kExitUsage;
  }
  std::string const name = argv[1];
  bool const helpFor = name == "help" && argc == 3;  // kest help COMMAND
  if (!helpFor && (name == "--help" || name == "-h" || name == "help")) {
    printHelp(stdout);
    return kExitOk;
  }
  std::string const wanted = helpFor ? argv[2] : name;
  Command const* command = findCommand(wanted);
  if (!command) {
    std::fprintf(stderr, "kest: unknown command '%s' (see kest --help)\n", wanted.c_str());
    return kExitUsage;
  }
  return runCommand(*command, helpFor ? Args{"--help"} : Args(argv + 2, argv + argc));
}
