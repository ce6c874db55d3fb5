// kest tour: every family's tour sections, in a working folder the tour makes and removes.

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "common/system_text.h"
#include "common/temp_folders.h"
#include "kest/command.h"

namespace kest::cli {
namespace {

std::vector<TourSection>& tourList() {
  static std::vector<TourSection> list;
  return list;
}

int runTour(Call& call) {
  if (!call.operands().empty()) return call.usage();
  std::string folder;
  if (unsigned long const error = helpers::makeTempFolder("kest-tour", folder)) {
    std::string text = helpers::systemText(error);
    return call.fail("cannot make the working folder " + folder, SystemError{error, text.data()});
  }
  Tour tour(folder);
  std::printf("kest tour: working in %s\n", tour.folder().c_str());
  std::vector<TourSection> sections = tourSections();
  std::stable_sort(sections.begin(), sections.end(),
                   [](TourSection const& a, TourSection const& b) { return a.order < b.order; });
  for (TourSection const& section : sections) {
    std::printf("\n== %s ==\n", section.title);
    section.run(tour);
  }
  std::printf("\nkest tour: done\n");
  return kExitOk;
}

RegisterCommand const registerTour({"tour", "walk through every family of the library",
                                    "\n"
                                    "Calls each family of the library on data the tour makes "
                                    "itself, in a folder of its own under the temporary "
                                    "directory, and prints what each call returns.",
                                    runTour});

}  // namespace

RegisterTourSection::RegisterTourSection(TourSection const& section) {
  tourList().push_back(section);
}

std::vector<TourSection> const& tourSections() { return tourList(); }

Tour::~Tour() { helpers::removeTree(folder_); }

void Tour::show(char const* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::fputs("  ", stdout);
  std::vprintf(format, args);
  std::fputc('\n', stdout);
  va_end(args);
}

}  // namespace kest::cli
