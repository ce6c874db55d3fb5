#pragma once
// Folders of their own for the kest tool and the tests, under the temporary directory.

#include <string>

namespace kest::helpers {

// Makes a new, empty folder "<temporary directory><prefix>-<process id>-<n>". Returns 0 and
// its path in `path`, or the Win32 error code that stopped it (`path` then names what could
// not be made). A taken name moves on to the next n, a bounded number of times.
unsigned long makeTempFolder(std::string const& prefix, std::string& path);

// Removes a folder and everything below it (read-only and hidden entries too).
void removeTree(std::string const& path);

}  // namespace kest::helpers
