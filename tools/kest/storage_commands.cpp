// kest subcommands and tour section of the structured-storage family.
//
// Element paths are '/'-separated names below the root storage. Names are shown and taken
// in printable ASCII: any other code unit is written \xNN (below 0x100) or \uNNNN, so the
// control characters that start names such as "\x05SummaryInformation" survive a shell.

#include <comdef.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/com_objects.h"
#include "common/number_text.h"
#include "kest/command.h"
#include "kest011/storage.h"

namespace kest::cli {
namespace {

// Deepest storage nesting that `ls` follows; a damaged file may claim more.
constexpr int kMaxDepth = 64;
constexpr long kChunkSize = 64 * 1024;

using helpers::ComScope;
using helpers::hexDigits;
template <class Interface>
using Owned = helpers::ComOwned<Interface>;

unsigned short const* units(std::wstring const& name) {
  return reinterpret_cast<unsigned short const*>(name.c_str());
}

std::string printableName(wchar_t const* name) {
  std::string shown;
  for (; name && *name; ++name) {
    unsigned const unit = *name;
    if (unit >= 0x20 && unit < 0x7F && unit != '\\')
      shown += static_cast<char>(unit);
    else if (unit < 0x100)
      shown += "\\x" + hexDigits(unit, 2);
    else
      shown += "\\u" + hexDigits(unit, 4);
  }
  return shown;
}

// "/a/b" for the first `count` names.
std::string shownPath(std::vector<std::wstring> const& names, size_t count) {
  std::string path;
  for (size_t i = 0; i < count && i < names.size(); ++i)
    path += "/" + printableName(names[i].c_str());
  return path;
}

// Reads the escape at `text[at]` (just past the backslash) into `unit`; false when bad.
bool parseEscape(std::wstring const& text, size_t& at, wchar_t& unit) {
  if (at >= text.size()) return false;
  size_t const digits = text[at] == L'x' ? 2 : text[at] == L'u' ? 4 : 0;
  if (digits == 0 || at + digits >= text.size()) return false;
  unsigned value = 0;
  for (size_t i = 1; i <= digits; ++i) {
    wchar_t const c = text[at + i];
    unsigned const digit = (c >= L'0' && c <= L'9')   ? c - L'0'
                           : (c >= L'a' && c <= L'f') ? c - L'a' + 10
                           : (c >= L'A' && c <= L'F') ? c - L'A' + 10
                                                      : 16;
    if (digit == 16) return false;
    value = value * 16 + digit;
  }
  unit = static_cast<wchar_t>(value);
  at += digits;
  return true;
}

// Splits "a/b/c" (a leading '/' allowed) into element names, decoding escapes; false when
// the path is no text in the code page (as the library refuses such names), names no
// element, has an empty name or a bad escape.
bool parseElementPath(std::string const& path, std::vector<std::wstring>& names) {
  int const length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
  if (length <= 0) return false;
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.c_str(), -1, &text[0], length);
  text.resize(static_cast<size_t>(length) - 1);
  names.assign(1, std::wstring());
  for (size_t at = text[0] == L'/' ? 1 : 0; at < text.size(); ++at) {
    wchar_t unit = text[at];
    if (unit == L'/') {
      names.emplace_back();
      continue;
    }
    if (unit == L'\\' && !parseEscape(text, ++at, unit)) return false;
    names.back() += unit;
  }
  for (std::wstring const& name : names)
    if (name.empty()) return false;
  return true;
}

// The platform calls a file that is not a compound file one that "already exists".
int fileFailed(Call const& call, std::string const& file, ComError const& error) {
  if (error.code == STG_E_FILEALREADYEXISTS)
    return call.fail(file + " is not a compound file", error);
  return call.fail(file, error);
}

char const* typeName(DWORD type) {
  switch (type) {
    case STGTY_STORAGE:
      return "storage";
    case STGTY_STREAM:
      return "stream";
    case STGTY_LOCKBYTES:
      return "lockbytes";
    case STGTY_PROPERTY:
      return "property";
    default:
      return "unknown";
  }
}

void printElement(STATSTG const& record, std::string const& path) {
  if (record.type == STGTY_STORAGE)
    std::printf("%-9s %12s  %s  %s\n", typeName(record.type), "-", path.c_str(),
                KestOleCLSIDAsString(record.clsid));
  else
    std::printf("%-9s %12llu  %s\n", typeName(record.type),
                static_cast<unsigned long long>(record.cbSize.QuadPart), path.c_str());
}

// ---- kest stg ---------------------------------------------------------------------------

// Lists the elements below `storage`, whose path is `path` ("/" or "/a/b/"). Goes on past
// elements that cannot be opened; false when any could not.
bool listStorage(Call const& call, IStorage* storage, std::string const& path, int depth) {
  CKestOleEnumElements elements;
  ComError outcome;
  if (!elements.EnumElements(storage, &outcome.code, &outcome.text)) {
    call.fail("cannot list " + path, outcome);
    return false;
  }
  bool complete = true;
  for (unsigned i = 0; i < elements.Size(); ++i) {
    STATSTG const& record = elements.GetAt(static_cast<int>(i));
    std::string const elementPath = path + printableName(record.pwcsName);
    printElement(record, elementPath);
    if (record.type != STGTY_STORAGE) continue;
    if (depth >= kMaxDepth) {
      call.fail(elementPath + ": storages nested too deep to follow");
      complete = false;
      continue;
    }
    Owned<IStorage> child(KestOleOpenStorage(0, storage, units(record.pwcsName), nullptr,
                                             &outcome.code, &outcome.text));
    if (!child) {
      call.fail("cannot open " + elementPath, outcome);
      complete = false;
      continue;
    }
    complete = listStorage(call, child.get(), elementPath + "/", depth + 1) && complete;
  }
  return complete;
}

int listFile(Call const& call, std::string const& file) {
  ComError outcome;
  Owned<IStorage> root(KestOleOpenStgFile(0, file.c_str(), &outcome.code, &outcome.text));
  if (!root) return fileFailed(call, file, outcome);
  STATSTG record{};
  record.type = STGTY_STORAGE;
  root->Stat(&record, STATFLAG_NONAME);  // only for the class; a null one is shown otherwise
  printElement(record, "/");
  return listStorage(call, root.get(), "/", 1) ? kExitOk : kExitFailed;
}

// Opens `file` and the storages along all but the last of `names`; with `create`, a missing
// file or storage is made. Returns the storage that holds the last name, or null (reported).
Owned<IStorage> openParent(Call const& call, std::string const& file,
                           std::vector<std::wstring> const& names, bool write, bool create,
                           std::vector<Owned<IStorage>>& opened) {
  ComError outcome;
  IStorage* storage = KestOleOpenStgFile(write, file.c_str(), &outcome.code, &outcome.text);
  if (!storage && create && outcome.code == STG_E_FILENOTFOUND)
    storage = KestOleCreateStgFile(file.c_str(), &outcome.code, &outcome.text);
  if (!storage) {
    fileFailed(call, file, outcome);
    return nullptr;
  }
  opened.emplace_back(storage);
  for (size_t i = 0; i + 1 < names.size(); ++i) {
    std::string const shown = shownPath(names, i + 1);
    STATSTG found;
    int const exists =
        KestOleFindElement(storage, units(names[i]), 0, found, &outcome.code, &outcome.text);
    if (exists) {
      CoTaskMemFree(found.pwcsName);
      if (found.type != STGTY_STORAGE) {
        call.fail(shown + " is not a storage");
        return nullptr;
      }
      storage = KestOleOpenStorage(write, storage, units(names[i]), nullptr, &outcome.code,
                                   &outcome.text);
    } else if (outcome.code == 0 && create) {
      storage =
          KestOleCreateStorage(storage, units(names[i]), nullptr, &outcome.code, &outcome.text);
    } else if (outcome.code == 0) {
      call.fail(shown + ": no such storage");
      return nullptr;
    } else {
      storage = nullptr;
    }
    if (!storage) {
      call.fail(shown, outcome);
      return nullptr;
    }
    opened.emplace_back(storage);
  }
  storage->AddRef();
  return Owned<IStorage>(storage);
}

int catStream(Call const& call, std::string const& file, std::vector<std::wstring> const& names) {
  std::vector<Owned<IStorage>> opened;
  Owned<IStorage> parent = openParent(call, file, names, false, false, opened);
  if (!parent) return kExitFailed;
  ComError outcome;
  STATSTG record;
  Owned<IStream> stream(KestOleOpenStream(0, parent.get(), units(names.back()), &record,
                                          &outcome.code, &outcome.text));
  std::string const shown = shownPath(names, names.size());
  if (!stream) return call.fail(shown, outcome);
  CoTaskMemFree(record.pwcsName);
  // The library reads without telling how much it moved, so read exactly what the stream holds.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<char> chunk(kChunkSize);
  for (ULONGLONG left = record.cbSize.QuadPart; left > 0;) {
    long const count = left < kChunkSize ? static_cast<long>(left) : kChunkSize;
    // A damaged file may hold fewer bytes than it records: show zeros, never stale data.
    std::fill(chunk.begin(), chunk.begin() + count, 0);
    if (!KestOleReadStream(stream.get(), chunk.data(), count, &outcome.code, &outcome.text))
      return call.fail(shown, outcome);
    if (std::fwrite(chunk.data(), 1, count, stdout) != static_cast<size_t>(count))
      return call.fail("cannot write to standard output");
    left -= count;
  }
  return kExitOk;
}

std::string readStandardInput() {
  _setmode(_fileno(stdin), _O_BINARY);
  std::string data;
  std::vector<char> chunk(kChunkSize);
  for (size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), stdin)) > 0;)
    data.append(chunk.data(), got);
  return data;
}

int putStream(Call const& call, std::string const& file, std::vector<std::wstring> const& names) {
  std::string data = readStandardInput();
  std::vector<Owned<IStorage>> opened;
  Owned<IStorage> parent = openParent(call, file, names, true, true, opened);
  if (!parent) return kExitFailed;
  ComError outcome;
  std::string const shown = shownPath(names, names.size());
  STATSTG existing;
  // A create replaces whatever has the name; a whole storage is not replaced by a stream.
  if (KestOleFindElement(parent.get(), units(names.back()), STGTY_STORAGE, existing, nullptr,
                         nullptr)) {
    CoTaskMemFree(existing.pwcsName);
    return call.fail(shown + " is a storage");
  }
  Owned<IStream> stream(KestOleCreateStream(parent.get(), units(names.back()), nullptr,
                                            &outcome.code, &outcome.text));
  if (!stream) return call.fail(shown, outcome);
  for (size_t at = 0; at < data.size(); at += kChunkSize) {
    long const count = static_cast<long>(std::min<size_t>(kChunkSize, data.size() - at));
    if (!KestOleWriteStream(stream.get(), &data[at], count, &outcome.code, &outcome.text))
      return call.fail(shown, outcome);
  }
  return kExitOk;
}

int removeElement(Call const& call, std::string const& file,
                  std::vector<std::wstring> const& names) {
  std::vector<Owned<IStorage>> opened;
  Owned<IStorage> parent = openParent(call, file, names, true, false, opened);
  if (!parent) return kExitFailed;
  ComError outcome;
  if (!KestOleDeleteElement(parent.get(), units(names.back()), &outcome.code, &outcome.text))
    return call.fail(shownPath(names, names.size()), outcome);
  return kExitOk;
}

int newFile(Call const& call, std::string const& file) {
  ComError outcome;
  Owned<IStorage> root(KestOleCreateStgFile(file.c_str(), &outcome.code, &outcome.text));
  if (!root) return call.fail(file, outcome);
  return kExitOk;
}

int runStorageAction(Call const& call) {
  Args const& args = call.operands();
  std::string const action = args.empty() ? "" : args[0];
  if (args.size() == 2 && action == "ls") return listFile(call, args[1]);
  if (args.size() == 2 && action == "new") return newFile(call, args[1]);
  if (args.size() != 3) return call.usage();
  std::vector<std::wstring> names;
  if (!parseElementPath(args[2], names)) return call.usage("bad element path " + args[2]);
  if (action == "cat") return catStream(call, args[1], names);
  if (action == "put") return putStream(call, args[1], names);
  if (action == "rm") return removeElement(call, args[1], names);
  return call.usage();
}

int runStorage(Call& call) {
  ComScope com;
  try {
    return runStorageAction(call);
  } catch (_com_error const& error) {
    return call.fail("a name cannot be converted",
                     ComError{static_cast<long>(error.Error()), nullptr});
  }
}

RegisterCommand const registerStorage(
    {"stg", "list, read, write and remove elements of compound files",
     "ls FILE | cat FILE PATH | put FILE PATH | rm FILE PATH | new FILE\n"
     "ls lists the whole tree: type, size, path, and the class ID of each storage. cat prints "
     "a stream. put writes standard input into a stream, making the file and storages on the "
     "way. rm removes an element. new makes an empty file.\n"
     "PATH is element names separated by /. Characters outside printable ASCII are written "
     "\\xNN or \\uNNNN, as in /\\x05SummaryInformation, in listings and in PATH.",
     runStorage});

// ---- tour -------------------------------------------------------------------------------

std::string described(ComError const& outcome) {
  return "code 0x" + hexDigits(static_cast<unsigned long>(outcome.code), 8) + ": " +
         errorText(outcome.text);
}

void tourStorage(Tour& tour) {
  ComScope com;
  std::string const file = tour.path("album.stg");
  ComError outcome;
  Owned<IStorage> root(KestOleCreateStgFile(file.c_str(), &outcome.code, &outcome.text));
  tour.show("KestOleCreateStgFile(album.stg) -> %s", root ? "a storage" : "null");
  if (!root) return;
  STATSTG record;
  Owned<IStorage> pictures(
      KestOleCreateStorage(root.get(), "Pictures", &record, &outcome.code, &outcome.text));
  if (!pictures) return;
  tour.show("KestOleCreateStorage(Pictures, record) -> a storage, record name \"%s\"",
            printableName(record.pwcsName).c_str());
  CoTaskMemFree(record.pwcsName);
  Owned<IStream> caption(
      KestOleCreateStream(pictures.get(), "Caption", nullptr, &outcome.code, &outcome.text));
  if (!caption) return;
  char words[] = "Sunrise over the harbour";
  tour.show("KestOleWriteStream(24 bytes) -> %d",
            KestOleWriteStream(caption.get(), words, 24, &outcome.code, &outcome.text));
  caption.reset();
  pictures.reset();

  Owned<IStorage> again(KestOleOpenStgFile(0, file.c_str(), &outcome.code, &outcome.text));
  tour.show("KestOleOpenStgFile(album.stg) while it is open -> %s, %s",
            again ? "a storage" : "null", described(outcome).c_str());
  root.reset();
  root.reset(KestOleOpenStgFile(0, file.c_str(), &outcome.code, &outcome.text));
  tour.show("KestOleOpenStgFile(album.stg, read only) after closing -> %s",
            root ? "a storage" : "null");
  if (!root) return;
  pictures.reset(
      KestOleOpenStorage(0, root.get(), "Pictures", nullptr, &outcome.code, &outcome.text));
  if (!pictures) return;
  caption.reset(
      KestOleOpenStream(0, pictures.get(), "Caption", &record, &outcome.code, &outcome.text));
  if (!caption) return;
  tour.show("KestOleOpenStream(Caption, record) -> a stream of %llu bytes",
            static_cast<unsigned long long>(record.cbSize.QuadPart));
  CoTaskMemFree(record.pwcsName);
  char read[100] = {};
  int const got = KestOleReadStream(caption.get(), read, 99, &outcome.code, &outcome.text);
  tour.show("KestOleReadStream(99 bytes, 24 there) -> %d \"%s\"", got, read);
  int const written = KestOleWriteStream(caption.get(), words, 4, &outcome.code, &outcome.text);
  tour.show("KestOleWriteStream on a read-only stream -> %d, %s", written,
            described(outcome).c_str());

  CKestOleEnumElements elements;
  int const listed = elements.EnumElements(pictures.get(), &outcome.code, &outcome.text);
  tour.show("CKestOleEnumElements::EnumElements(Pictures) -> %d, Size() %u", listed,
            elements.Size());
  if (elements.Size() > 0)
    tour.show("GetAt(0) -> \"%s\", type %lu", printableName(elements.GetAt(0).pwcsName).c_str(),
              static_cast<unsigned long>(elements.GetAt(0).type));
  int found = KestOleFindElement(root.get(), "Pictures", STGTY_STORAGE, record, &outcome.code,
                                 &outcome.text);
  tour.show("KestOleFindElement(Pictures, storage) -> %d", found);
  if (found) CoTaskMemFree(record.pwcsName);
  found = KestOleFindElement(root.get(), "pictures", 0, record, &outcome.code, &outcome.text);
  tour.show("KestOleFindElement(pictures, any type) -> %d, code %ld (names are case-sensitive)",
            found, outcome.code);

  GUID const word = {0x00020906, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  tour.show("KestOleCLSIDAsString -> %s", KestOleCLSIDAsString(word));
  Owned<IStorage> missing(
      KestOleOpenStgFile(0, tour.path("missing.stg").c_str(), &outcome.code, &outcome.text));
  tour.show("KestOleOpenStgFile(missing.stg) -> %s, %s", missing ? "a storage" : "null",
            described(outcome).c_str());
}

RegisterTourSection const registerTour({400, "Structured storage", tourStorage});

}  // namespace
}  // namespace kest::cli
