// kest subcommands and tour section of the files family.

#include <cstdio>

#include "kest/command.h"
#include "kest011/files.h"

namespace kest::cli {
namespace {

int fileSize(Args const& args);
Command const kFileSize{"filesize", "FILE", "print the size of FILE in bytes", fileSize};

int fileSize(Args const& args) {
  if (args.size() != 1) return usage(kFileSize);
  unsigned long code = 0;
  char* text = nullptr;
  long const size = KestFileSize(args[0].c_str(), &code, &text);
  if (size == -1)
    return fail(kFileSize.name, args[0] + " (code " + std::to_string(code) + ")", text);
  std::printf("%ld\n", size);
  return kExitOk;
}

void tourFileHandles(Tour& tour) {
  std::string const name = tour.path("hello.txt");
  unsigned long code = 0;
  char* text = nullptr;
  void* file = KestFileCreate(name.c_str(), GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, 0, &code, &text);
  tour.show("KestFileCreate(hello.txt) -> %s",
            file == INVALID_HANDLE_VALUE ? "INVALID_HANDLE_VALUE" : "a handle");
  if (file == INVALID_HANDLE_VALUE) return;
  char message[] = "Hello from Kest011";
  tour.show("KestFileWrite(18 bytes) -> %d", KestFileWrite(file, message, 18, &code, &text));
  tour.show("KestFileSize(handle) -> %ld", KestFileSize(file, &code, &text));
  tour.show("KestFileSeek(6) -> %d", KestFileSeek(file, 6, &code, &text));
  char word[5] = {};
  int const read = KestFileRead(file, word, 4, &code, &text);
  tour.show("KestFileRead(4 bytes) -> %d \"%s\"", read, word);
  int const pastEnd = KestFileRead(file, word, 100, &code, &text);
  tour.show("KestFileRead(100 bytes past the end) -> %d, code %lu", pastEnd, code);
  int const seek = KestFileSeek(file, -1, &code, &text);
  tour.show("KestFileSeek(-1) -> %d, code %lu: %s", seek, code, errorText(text).c_str());
  tour.show("KestFileSeekEnd -> %d", KestFileSeekEnd(file, &code, &text));
  CloseHandle(file);
  tour.show("KestFileSize(hello.txt) -> %ld", KestFileSize(name.c_str(), &code, &text));
  long const missing = KestFileSize(tour.path("missing.txt").c_str(), &code, &text);
  tour.show("KestFileSize(missing.txt) -> %ld, code %lu: %s", missing, code,
            errorText(text).c_str());
}

RegisterCommand const registerFileSize(kFileSize);
RegisterTourSection const registerTour({200, "File handles", tourFileHandles});

}  // namespace
}  // namespace kest::cli
