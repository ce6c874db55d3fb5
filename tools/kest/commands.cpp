// The command layer: registration, reading a command's words, its usage and its failures.

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/number_text.h"
#include "kest/command.h"

namespace kest::cli {
namespace {

std::vector<Command>& commandList() {
  static std::vector<Command> list;
  return list;
}

// The first line of the command's usage, and the paragraphs after it.
std::vector<std::string> usageLines(Command const& command) {
  std::vector<std::string> lines(1);
  for (char const* c = command.usage; *c; ++c) {
    if (*c == '\n')
      lines.emplace_back();
    else
      lines.back() += *c;
  }
  return lines;
}

// "WHAT (CODE): TEXT", or without ": TEXT" when the call gave none.
std::string withCode(std::string const& what, std::string const& code, char const* text) {
  std::string const line = what + " (" + code + ")";
  return text ? line + ": " + errorText(text) : line;
}

// The synopsis, a line for each alternative ("usage: kest NAME ...", "       kest NAME ..."),
// and, with `details`, the summary and the paragraphs.
std::string usageText(Command const& command, bool details) {
  std::vector<std::string> const lines = usageLines(command);
  std::string const name = std::string("kest ") + command.name + " ";
  std::string text, lead = "usage: ";
  for (std::string const& alternative : alternativesIn(lines[0])) {
    text += lead + wrapText(name + alternative, kColumns, lead.size() + name.size(), lead.size());
    lead.assign(lead.size(), ' ');
  }
  if (!details) return text;
  std::string summary = command.summary;
  summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
  text += "\n" + wrapText(summary + ".", kColumns, 0);
  for (std::size_t i = 1; i < lines.size(); ++i) text += "\n" + wrapText(lines[i], kColumns, 0);
  return text;
}

}  // namespace

RegisterCommand::RegisterCommand(Command const& command) { commandList().push_back(command); }

std::vector<Command> const& commands() { return commandList(); }

Command const* findCommand(std::string const& name) {
  for (Command const& command : commands())
    if (name == command.name) return &command;
  return nullptr;
}

int runCommand(Command const& command, Args const& words) {
  ParsedWords parsed = parseWords(optionsIn(usageLines(command)[0]), words);
  // Help comes before any check of the other words, so a half-written line still gets it.
  if (parsed.help) {
    std::fputs(usageText(command, true).c_str(), stdout);
    return kExitOk;
  }
  std::string const error = parsed.error;
  Call call(command, std::move(parsed));
  if (!error.empty()) return call.usage(error);
  return command.run(call);
}

Call::Call(Command const& command, ParsedWords words)
    : command_(command), words_(std::move(words)) {}

std::string const* Call::option(char const* name) const {
  auto const found = words_.options.find(name);
  return found == words_.options.end() ? nullptr : &found->second;
}

int Call::usage(std::string const& why) const {
  if (!why.empty()) std::fprintf(stderr, "kest %s: %s\n", name(), why.c_str());
  std::fputs(usageText(command_, false).c_str(), stderr);
  return kExitUsage;
}

int Call::fail(std::string const& what) const {
  std::fprintf(stderr, "kest %s: %s\n", name(), what.c_str());
  return kExitFailed;
}

int Call::fail(std::string const& what, SystemError const& error) const {
  return fail(withCode(what, "code " + std::to_string(error.code), error.text));
}

int Call::fail(std::string const& what, ComError const& error) const {
  return fail(withCode(what, "0x" + helpers::hexDigits(static_cast<unsigned long>(error.code), 8),
                       error.text));
}

std::string errorText(char const* text) {
  if (!text || !*text) return "(no text)";
  std::string result = text;
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
  return result;
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

}  // namespace kest::cli
