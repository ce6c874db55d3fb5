#include "common/system_text.h"

#include <windows.h>

namespace kest::helpers {
namespace {

constexpr DWORD kSystemTextSize = 256;

}  // namespace

std::string systemText(unsigned long code) {
  char text[kSystemTextSize] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, kSystemTextSize, nullptr);
  return text;
}

}  // namespace kest::helpers
