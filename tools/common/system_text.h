#pragma once
// The system's own wording for a Win32 error code.

#include <string>

namespace kest::helpers {

// What FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, user's default language) gives for
// `code`, or an empty string when the system has no message for it.
std::string systemText(unsigned long code);

}  // namespace kest::helpers
