#pragma once
// Subcommands and tour sections of the kest tool. A family's source file declares each of
// its commands once, in a RegisterCommand object, and its tour sections likewise; adding a
// family touches no other file.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "kest/command_line.h"

namespace kest::cli {

using Args = std::vector<std::string>;

enum Exit : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// The width help and usage keep to: a console's default.
constexpr std::size_t kColumns = 80;

// The error out-parameters of a library call that failed: a Win32 error code, shown in
// decimal, or an HRESULT, shown in hex, and the library's text for it (may be null).
struct SystemError {
  unsigned long code = 0;
  char* text = nullptr;
};
struct ComError {
  long code = 0;
  char* text = nullptr;
};

class Call;

struct Command {
  char const* name;
  char const* summary;  // one line, for `kest --help`
  // What follows `kest NAME`; the options it names are the ones the command takes. After a
  // line break, paragraphs (one a line) that `kest NAME --help` adds.
  char const* usage;
  int (*run)(Call& call);
};

struct RegisterCommand {
  explicit RegisterCommand(Command const& command);
};

// One run of a command, with the words given to it read against its synopsis.
class Call {
 public:
  Call(Command const& command, ParsedWords words);

  char const* name() const { return command_.name; }
  Args const& operands() const { return words_.operands; }
  // How many operands came before a lone "--", or ParsedWords::kNoDashes without one.
  std::size_t operandsBeforeDashes() const { return words_.operandsBeforeDashes; }
  bool has(char const* option) const { return words_.options.count(option) != 0; }
  // The option's value, or null when it was not given.
  std::string const* option(char const* name) const;

  // Prints "kest NAME: WHY" (when given) and the synopsis on stderr; returns kExitUsage.
  int usage(std::string const& why = {}) const;

  // Prints "kest NAME: WHAT", then " (code N)" or " (0xHHHHHHHH)" and ": TEXT" for a failed
  // library call, on stderr; returns kExitFailed.
  int fail(std::string const& what) const;
  int fail(std::string const& what, SystemError const& error) const;
  int fail(std::string const& what, ComError const& error) const;

 private:
  Command const& command_;
  ParsedWords words_;
};

std::vector<Command> const& commands();

// The command named `name`, or null.
Command const* findCommand(std::string const& name);

// Runs `command` on the words after its name; with -h or --help among them, prints its
// usage, summary and paragraphs instead. Returns the exit status.
int runCommand(Command const& command, Args const& words);

// Parses a whole decimal or 0x-prefixed number; false when `text` is not one.
bool parseLong(std::string const& text, long& value);
bool parseDouble(std::string const& text, double& value);

// The library's error text without its closing line break, or "(no text)".
std::string errorText(char const* text);

// ---- The tour ---------------------------------------------------------------------------

class Tour;

struct TourSection {
  int order;  // sections run in ascending order
  char const* title;
  void (*run)(Tour& tour);
};

struct RegisterTourSection {
  explicit RegisterTourSection(TourSection const& section);
};

// A walk through the library on data the tour makes itself, in a folder of its own that
// it removes at the end.
class Tour {
 public:
  explicit Tour(std::string folder) : folder_(std::move(folder)) {}
  ~Tour();
  Tour(Tour const&) = delete;
  Tour& operator=(Tour const&) = delete;

  std::string const& folder() const { return folder_; }
  std::string path(std::string const& name) const { return folder_ + "\\" + name; }

  // Prints one line of the tour: what was called and what it returned.
  void show(char const* format, ...) __attribute__((format(gnu_printf, 2, 3)));

 private:
  std::string folder_;
};

std::vector<TourSection> const& tourSections();

}  // namespace kest::cli
