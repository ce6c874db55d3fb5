#include "frame/error_report.h"

namespace kest {
namespace {

// Zero-filled at load, so a failure with no system message reads as empty text.
ErrorText g_systemErrorText;

}  // namespace

ErrorText& systemErrorText() { return g_systemErrorText; }

void describeFailure(DWORD messageId, char** text, ErrorText& buffer) {
  if (!text) return;
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, messageId,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, kErrorTextSize, nullptr);
  *text = buffer;
}

}  // namespace kest
