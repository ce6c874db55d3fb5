// kest: the Kest011 library from the command line.

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/remove_tree.h"
#include "kest/command.h"

namespace kest::cli {
namespace {

std::vector<Command>& commandList() {
  static std::vector<Command> list;
  return list;
}

std::vector<TourSection>& tourList() {
  static std::vector<TourSection> list;
  return list;
}

void printHelp(FILE* out) {
  std::fprintf(out, "usage: kest COMMAND [ARGS...]\n\ncommands:\n");
  std::vector<Command> sorted = commands();
  std::sort(sorted.begin(), sorted.end(),
            [](Command const& a, Command const& b) { return std::strcmp(a.name, b.name) < 0; });
  for (Command const& c : sorted)
    std::fprintf(out, "  kest %s %s\n      %s\n", c.name, c.usage, c.summary);
  std::fprintf(out, "\nExit status: 0 success, 1 a failed operation, 2 bad usage.\n");
}

int runTour(Args const&) {
  Tour tour;
  std::printf("kest tour: working in %s\n", tour.folder().c_str());
  std::vector<TourSection> sections = tourSections();
  std::stable_sort(sections.begin(), sections.end(),
                   [](TourSection const& a, TourSection const& b) { return a.order < b.order; });
  for (TourSection const& section : sections) {
    std::printf("\n== %s ==\n", section.title);
    section.run(tour);
  }
  std::printf("\nkest tour: done\n");
  return kExitOk;
}

RegisterCommand const tourCommand({"tour", "",
                                   "walk through every family of the library on data it makes "
                                   "itself, printing what each call returns",
                                   runTour});

}  // namespace

RegisterCommand::RegisterCommand(Command const& command) { commandList().push_back(command); }

RegisterTourSection::RegisterTourSection(TourSection const& section) {
  tourList().push_back(section);
}

std::vector<Command> const& commands() { return commandList(); }
std::vector<TourSection> const& tourSections() { return tourList(); }

std::string errorText(char const* text) {
  if (!text || !*text) return "(no text)";
  std::string result = text;
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
  return result;
}

int fail(char const* name, std::string const& what, char const* text) {
  if (text)
    std::fprintf(stderr, "kest %s: %s: %s\n", name, what.c_str(), errorText(text).c_str());
  else
    std::fprintf(stderr, "kest %s: %s\n", name, what.c_str());
  return kExitFailed;
}

int usage(Command const& command) {
  std::fprintf(stderr, "usage: kest %s %s\n", command.name, command.usage);
  return kExitUsage;
}

bool parseLong(std::string const& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long const parsed = std::strtoll(text.c_str(), &end, 0);
  if (*end != '\0' || errno == ERANGE || parsed < LONG_MIN || parsed > LONG_MAX) return false;
  value = static_cast<long>(parsed);
  return true;
}

bool parseDouble(std::string const& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0';
}

Tour::Tour() {
  char base[MAX_PATH + 1];
  DWORD const length = GetTempPathA(sizeof base, base);
  std::string root = (length > 0 && length < sizeof base) ? base : ".\\";
  for (unsigned attempt = 0;; ++attempt) {
    folder_ =
        root + "kest-tour-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
    if (CreateDirectoryA(folder_.c_str(), nullptr)) break;
  }
}

Tour::~Tour() { host::removeTree(folder_); }

void Tour::show(char const* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::fputs("  ", stdout);
  std::vprintf(format, args);
  std::fputc('\n', stdout);
  va_end(args);
}

}  // namespace kest::cli

int main(int argc, char** argv) {
  using namespace kest::cli;
  if (argc < 2) {
    printHelp(stderr);
    return kExitUsage;
  }
  std::string const name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    printHelp(stdout);
    return kExitOk;
  }
  for (Command const& command : commands()) {
    if (name == command.name) return command.run(Args(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "kest: unknown command '%s' (see kest --help)\n", name.c_str());
  return kExitUsage;
}
