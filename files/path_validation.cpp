#include <shlwapi.h>
#include <string.h>
#include <windows.h>

#include "files/file_names.h"
#include "frame/ansi_characters.h"
#include "frame/bounded_text.h"
#include "kest011/files.h"

using kest::isMissing;
using kest::files::PathBuffer;

namespace {

// Classes a character of a path may carry: a long or short file-name character, or a
// separator. Wildcards and characters of no class are refused.
constexpr unsigned kPathClasses = GCT_LFNCHAR | GCT_SHORTCHAR | GCT_SEPARATOR;
// Classes a character of a single file name may carry: no separators, no wildcards.
constexpr unsigned kFilenameClasses = GCT_LFNCHAR | GCT_SHORTCHAR;

// Compared in this order; "COM" and "LPT" stand without a digit too.
constexpr char const* kReservedDeviceNames[] = {"AUX",  "CON",  "CLOCK$", "PRN",  "NUL",  "EPT",
                                                "COM",  "COM1", "COM2",   "COM3", "COM4", "LPT",
                                                "LPT1", "LPT2", "LPT3",   "LPT4"};

bool isShorterThan(char const* text, size_t length) {
  return text == nullptr || kest::boundedLength(text, length) < length;
}

// The characters of a name, read as the code page has them. The kind of code page is looked
// up once per name: in a single-byte one each byte is a character, judged by
// PathGetCharTypeA as it always was. In a multibyte one an ASCII byte is judged so too, and
// any other character (or byte that is none) by PathGetCharTypeW on each unit of its wide
// form; bytes that are no character of the code page have no class.
class Characters {
 public:
  size_t sizeAt(char const* text) const { return multibyte_ ? kest::characterSize(text) : 1; }

  bool haveClass(char const* text, size_t size, unsigned classes) const {
    unsigned char const first = static_cast<unsigned char>(*text);
    if (size == 1 && (first < 0x80 || !multibyte_)) return (PathGetCharTypeA(first) & classes) != 0;
    return (wideClasses(text, size) & classes) != 0;
  }

 private:
  static unsigned wideClasses(char const* text, size_t size) {
    wchar_t units[2];
    int const count =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(size), units, 2);
    unsigned classes = count > 0 ? ~0u : 0;
    for (int i = 0; i < count; ++i) classes &= PathGetCharTypeW(units[i]);
    return classes;
  }

  bool const multibyte_ = kest::ansiIsMultibyte();
};

bool allCharactersHaveClass(char const* text, unsigned classes) {
  Characters const characters;
  for (size_t size; *text; text += size) {
    size = characters.sizeAt(text);
    if (!characters.haveClass(text, size, classes)) return false;
  }
  return true;
}

bool isOnlySpaces(char const* text) { return text[strspn(text, " ")] == '\0'; }

// A copy that is a root even when `path` is a bare drive ("C:" becomes "C:\"). The copy
// keeps at most MAX_PATH - 2 bytes, so the backslash and the terminator always fit; only the
// root at its start decides.
bool copyAsRoot(char const* path, PathBuffer& copy) {
  kest::copyCut(copy, path, MAX_PATH - 2);
  return PathAddBackslashA(copy) != nullptr;
}

// The drive rule: the drive must exist, and may be removable only when that is allowed.
bool isOnAcceptableDrive(char const* canonical, int allowRemovable, int* isRemovable) {
  PathBuffer root;
  kest::copyCut(root, canonical);  // as long as the buffer it came from: never cut
  // A path without a root keeps what could not be stripped (nothing, or "C:" of "C:dir"):
  // GetDriveTypeA then judges that, which is what decides for such paths.
  PathStripToRootA(root);
  switch (GetDriveTypeA(root)) {
    case DRIVE_UNKNOWN:
    case DRIVE_NO_ROOT_DIR:
      return false;
    case DRIVE_REMOVABLE:
      if (isRemovable) *isRemovable = 1;
      return allowRemovable != 0;
    default:
      return true;
  }
}

// Two backslashes in a row are allowed only where a network path begins: the first such pair
// decides. A backslash is one only where a character begins.
bool hasInnerDoubleBackslash(char const* path) {
  for (char const* character = path; *character; character = kest::nextCharacter(character))
    if (character[0] == '\\' && character[1] == '\\') return character != path;
  return false;
}

// "C:dir" names a place relative to the drive's current directory: refused.
bool hasDriveWithoutRoot(char const* path) {
  return strlen(path) > 2 && path[1] == ':' && path[2] != '\\';
}

bool hasLateColon(char const* path) {
  char const* colon = strrchr(path, ':');
  return colon != nullptr && colon - path > 1;
}

}  // namespace

int KestDriveIsEqual(char const* path1, char const* path2) {
  if (isShorterThan(path1, 2) || isShorterThan(path2, 2)) return 0;
  PathBuffer root1;
  PathBuffer root2;
  if (!copyAsRoot(path1, root1) || !copyAsRoot(path2, root2)) return 0;
  return PathIsSameRootA(root1, root2) ? 1 : 0;
}

int KestPathIsValid(char const* path, int allowRemovable, int* isRemovable) {
  if (isRemovable) *isRemovable = 0;
  PathBuffer canonical;
  if (isMissing(path) || !kest::fits(canonical, path)) return 0;
  if (!PathCanonicalizeA(canonical, path)) return 0;
  if (!PathIsUNCA(path) && !isOnAcceptableDrive(canonical, allowRemovable, isRemovable)) return 0;
  if (hasInnerDoubleBackslash(path)) return 0;
  if (hasDriveWithoutRoot(canonical)) return 0;
  if (!allCharactersHaveClass(canonical, kPathClasses)) return 0;
  if (hasLateColon(canonical)) return 0;
  if (isOnlySpaces(canonical)) return 0;
  return 1;
}

int KestFilenameIsValid(char const* name) {
  if (isMissing(name)) return 0;
  if (!allCharactersHaveClass(name, kFilenameClasses)) return 0;
  return isOnlySpaces(name) ? 0 : 1;
}

unsigned int KestReplaceInvalidFilenameCharacters(char* name, char replacement,
                                                  unsigned int validClasses) {
  if (isMissing(name)) return 0;
  unsigned int replaced = 0;
  // A character of several bytes becomes one byte, so the rest moves up behind it.
  Characters const characters;
  char* kept = name;
  for (char const* character = name; *character;) {
    size_t const size = characters.sizeAt(character);
    if (characters.haveClass(character, size, validClasses)) {
      if (kept != character) memmove(kept, character, size);
      kept += size;
    } else {
      *kept++ = replacement;
      ++replaced;
      // A replacement of 0 ends the name here, and with it the walk.
      if (replacement == '\0') return replaced;
    }
    character += size;
  }
  if (*kept != '\0') *kept = '\0';
  return replaced;
}

int KestIsReservedDeviceName(char const* name) {
  if (name == nullptr) return 0;
  for (char const* reserved : kReservedDeviceNames) {
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, name, -1, reserved, -1) ==
        CSTR_EQUAL)
      return 1;
  }
  return 0;
}
