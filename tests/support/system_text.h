#pragma once
// The platform's own wording, so tests compare error texts without hard-coding them.

#include <string>

namespace kest::test {

// What FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, user's default language) gives for
// `code`, or an empty string when the system has no message for it.
std::string systemText(unsigned long code);

}  // namespace kest::test
