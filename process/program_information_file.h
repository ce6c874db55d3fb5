#pragma once
// The program information file that a 16-bit program needs on the consumer Windows platform.

namespace kest {

// Makes sure that <Windows directory>\<base name of applicationName>.pif exists, writing the
// library's PIF resource there when it does not; an existing file is used as it is. False
// when there is no name for the file (null, or longer than 259 characters), or when the
// resource or the file cannot be had.
bool ensureProgramInformationFile(char const* applicationName);

}  // namespace kest
