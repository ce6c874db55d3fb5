// Ends with the family found, or 100 when a predicate disagrees (copies run as other versions).
#include "kest011/version.h"

int main() {
  CKestSystemVersionInfo os;
  int const is = os.IsUnknownOS() | os.IsWin32S() << 1 | os.IsWin95() << 2 | os.IsWin98() << 3 |
                 os.IsNT35() << 4 | os.IsNT40() << 5 | os.IsWin2000() << 6;
  return is == 1 << os.GetOperatingSystem() ? os.GetOperatingSystem() : 100;
}
