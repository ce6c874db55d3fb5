#include "frame/error_report.h"

namespace kest {
namespace {

// Zero-filled at load, so a failure with no system message reads as empty text.
ErrorText g_systemErrorText;

}  // namespace

ErrorText& systemErrorText() { return g_systemErrorText; }

void describeFailure(DWORD messageId, char** text, ErrorText& buffer) {
  if (!text) return;
  DWORD const length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, messageId,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, kErrorTextSize, nullptr);
  if (length == 0) buffer[0] = '\0';
  *text = buffer;
}

}  // namespace kest
