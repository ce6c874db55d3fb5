#include "support/system_text.h"

#include <windows.h>

namespace kest::test {

std::string systemText(unsigned long code) {
  char text[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  return text;
}

}  // namespace kest::test
