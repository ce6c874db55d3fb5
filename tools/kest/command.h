#pragma once
// Subcommands and tour sections of the kest tool. Each family's source file registers its
// own with a static Register... object, so adding a family touches no other file.

#include <string>
#include <vector>

namespace kest::cli {

using Args = std::vector<std::string>;

enum Exit : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

struct Command {
  char const* name;
  char const* usage;             // the arguments, for `kest --help`
  char const* summary;           // one line
  int (*run)(Args const& args);  // args exclude the subcommand's own name
};

class Tour;

struct TourSection {
  int order;  // sections run in ascending order
  char const* title;
  void (*run)(Tour& tour);
};

struct RegisterCommand {
  explicit RegisterCommand(Command const& command);
};

struct RegisterTourSection {
  explicit RegisterTourSection(TourSection const& section);
};

// Prints "kest NAME: what: text" on stderr and returns kExitFailed. `text` is the library's
// error text (may be null or end in a line break).
int fail(char const* name, std::string const& what, char const* text = nullptr);

// Prints the command's usage on stderr and returns kExitUsage.
int usage(Command const& command);

// Parses a whole decimal or 0x-prefixed number; false when `text` is not one.
bool parseLong(std::string const& text, long& value);
bool parseDouble(std::string const& text, double& value);

// The library's error text without its closing line break, or "(no text)".
std::string errorText(char const* text);

// A walk through the library on data the tour makes itself, in a folder of its own that
// it removes at the end.
class Tour {
 public:
  Tour();
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

std::vector<Command> const& commands();
std::vector<TourSection> const& tourSections();

}  // namespace kest::cli
