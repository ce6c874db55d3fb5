#pragma once
// The words after `kest COMMAND`: options and operands, read against the command's synopsis.
// Nothing here touches the system, so the tests take it as it is.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace kest::cli {

// An option a synopsis names: `--name` alone is a switch, `--name VALUE` (a placeholder in
// capitals) takes a value. Brackets around either mark them optional and change nothing here.
struct OptionRule {
  std::string name;  // without the dashes
  bool takesValue;
};

// The options named in `synopsis`, in order ("VALUE --from UNIT [--16] -- COMMAND" names
// `from`, with a value, and the switch `16`; a lone "--" is not an option).
std::vector<OptionRule> optionsIn(std::string const& synopsis);

struct ParsedWords {
  static constexpr std::size_t kNoDashes = static_cast<std::size_t>(-1);

  std::vector<std::string> operands;
  std::map<std::string, std::string> options;    // name -> value (empty for a switch); last wins
  std::size_t operandsBeforeDashes = kNoDashes;  // how many operands came before a lone "--"
  bool help = false;                             // -h or --help before any "--"
  std::string error;                             // why the words are bad usage; empty if not
};

// Reads `words`: "--name VALUE" and "--name=VALUE" set an option, "-h" and "--help" ask for
// help, a lone "--" makes every later word an operand, and any other word (a lone "-" and
// "-12.5" among them) is an operand. Options and operands may come in any order.
ParsedWords parseWords(std::vector<OptionRule> const& options,
                       std::vector<std::string> const& words);

// `text` in lines of at most `width` columns, broken at spaces, the first line going on from
// column `start`; every later line starts with `indent` spaces, and each ends with a line
// break. A bracketed group ("[--show N]") stays on one line, and a word longer than a line
// stands on one of its own.
std::string wrapText(std::string const& text, std::size_t width, std::size_t indent,
                     std::size_t start = 0);

// The alternatives of a synopsis, split at each " | " outside brackets.
std::vector<std::string> alternativesIn(std::string const& synopsis);

}  // namespace kest::cli
