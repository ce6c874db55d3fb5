#include "kest/command_line.h"

#include <cctype>
#include <sstream>

namespace kest::cli {
namespace {

bool isPlaceholder(std::string const& word) {
  std::size_t const start = word.find_first_not_of('[');
  return start < word.size() && std::isupper(static_cast<unsigned char>(word[start]));
}

// The words of `text`, a bracketed group counting as one.
std::vector<std::string> unbreakableWords(std::string const& text) {
  std::vector<std::string> words;
  int depth = 0;
  std::string word;
  for (char c : text) {
    if (c == ' ' && depth == 0) {
      if (!word.empty()) words.push_back(word);
      word.clear();
      continue;
    }
    depth += c == '[' ? 1 : c == ']' && depth > 0 ? -1 : 0;
    word += c;
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

}  // namespace

std::vector<OptionRule> optionsIn(std::string const& synopsis) {
  std::vector<std::string> words;
  std::istringstream stream(synopsis);
  for (std::string word; stream >> word;) words.push_back(word);
  std::vector<OptionRule> options;
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::size_t const start = words[i].find_first_not_of('[');
    std::string const word = start == std::string::npos ? "" : words[i].substr(start);
    if (word.size() <= 2 || word.compare(0, 2, "--") != 0) continue;
    std::size_t const end = word.find_first_of("]|");
    bool const closed = end != std::string::npos;
    bool const takesValue = !closed && i + 1 < words.size() && isPlaceholder(words[i + 1]);
    options.push_back({word.substr(2, end == std::string::npos ? end : end - 2), takesValue});
  }
  return options;
}

ParsedWords parseWords(std::vector<OptionRule> const& options,
                       std::vector<std::string> const& words) {
  ParsedWords parsed;
  auto reject = [&parsed](std::string const& why) {
    if (parsed.error.empty()) parsed.error = why;
  };
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::string const& word = words[i];
    if (parsed.operandsBeforeDashes != ParsedWords::kNoDashes) {
      parsed.operands.push_back(word);
    } else if (word == "--") {
      parsed.operandsBeforeDashes = parsed.operands.size();
    } else if (word == "-h" || word == "--help") {
      parsed.help = true;
    } else if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
      std::size_t const equals = word.find('=');
      std::string const name = word.substr(2, equals == std::string::npos ? equals : equals - 2);
      OptionRule const* rule = nullptr;
      for (OptionRule const& option : options)
        if (option.name == name) rule = &option;
      if (!rule) {
        reject("unknown option --" + name);
      } else if (!rule->takesValue && equals != std::string::npos) {
        reject("--" + name + " takes no value");
      } else if (!rule->takesValue) {
        parsed.options[name].clear();
      } else if (equals != std::string::npos) {
        parsed.options[name] = word.substr(equals + 1);
      } else if (i + 1 < words.size()) {
        parsed.options[name] = words[++i];
      } else {
        reject("--" + name + " needs a value");
      }
    } else {
      parsed.operands.push_back(word);
    }
  }
  return parsed;
}

std::vector<std::string> alternativesIn(std::string const& synopsis) {
  std::vector<std::string> alternatives(1);
  for (std::string const& word : unbreakableWords(synopsis)) {
    if (word == "|") {
      alternatives.emplace_back();
      continue;
    }
    if (!alternatives.back().empty()) alternatives.back() += ' ';
    alternatives.back() += word;
  }
  return alternatives;
}

std::string wrapText(std::string const& text, std::size_t width, std::size_t indent,
                     std::size_t start) {
  std::string wrapped, line;
  std::size_t column = start;  // where `line` starts
  bool lineHasWords = false;
  for (std::string const& word : unbreakableWords(text)) {
    if (lineHasWords && column + line.size() + 1 + word.size() > width) {
      wrapped += line + "\n";
      line.assign(indent, ' ');
      column = 0;
      lineHasWords = false;
    }
    if (lineHasWords) line += ' ';
    line += word;
    lineHasWords = true;
  }
  return wrapped + line + "\n";
}

}  // namespace kest::cli
