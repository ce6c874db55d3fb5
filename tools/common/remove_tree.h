#pragma once
// Shared by the kest tool and the tests: clean-up of the folders they make.

#include <string>

namespace kest::host {

// Removes a folder and everything below it (read-only and hidden entries too).
void removeTree(std::string const& path);

}  // namespace kest::host
