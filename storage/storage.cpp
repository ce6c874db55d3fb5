#include "kest011/storage.h"

#include "storage/storage_report.h"

namespace kest {
namespace {

// Zero-filled at load, so a failure with no system message reads as empty text.
ErrorText g_storageErrorText;

constexpr int kClsidTextSize = 256;
char g_clsidText[kClsidTextSize];

}  // namespace

ErrorText& storageErrorText() { return g_storageErrorText; }

}  // namespace kest

namespace {

using kest::platformName;
using kest::StorageErrorReport;

// Direct mode and exclusive sharing throughout: nothing is ever committed or reverted.
DWORD openMode(int write) {
  return write ? STGM_READWRITE | STGM_SHARE_EXCLUSIVE : STGM_READ | STGM_SHARE_EXCLUSIVE;
}
constexpr DWORD kCreateMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

// Runs `open`, which makes one storage or stream, and hands the result to the caller, after
// describing it in `record` when one is given. A failed Stat releases the new interface, so
// the caller never holds a reference on a failure path.
template <class Interface, class Open>
Interface* opened(Open open, STATSTG* record, long* code, char** text) {
  StorageErrorReport report(code, text);
  Interface* element = nullptr;
  HRESULT hr = open(&element);
  if (FAILED(hr)) return report.failed<Interface*>(nullptr, hr);
  if (!record) return element;
  hr = element->Stat(record, STATFLAG_DEFAULT);
  if (FAILED(hr)) {
    element->Release();
    return report.failed<Interface*>(nullptr, hr);
  }
  return element;
}

// A negative count would reach the platform as a count of almost 4 GiB, past the end of
// any buffer the caller could have meant.
bool isValidCount(long count) { return count >= 0; }

}  // namespace

IStorage* KestOleOpenStgFile(int write, unsigned short const* fileName, long* code, char** text) {
  return opened<IStorage>(
      [&](IStorage** root) {
        return StgOpenStorage(platformName(fileName), nullptr, openMode(write), nullptr, 0, root);
      },
      nullptr, code, text);
}

IStorage* KestOleCreateStgFile(unsigned short const* fileName, long* code, char** text) {
  return opened<IStorage>(
      [&](IStorage** root) {
        return StgCreateDocfile(platformName(fileName), kCreateMode, 0, root);
      },
      nullptr, code, text);
}

IStorage* KestOleOpenStorage(int write, IStorage* parent, unsigned short const* name,
                             STATSTG* record, long* code, char** text) {
  return opened<IStorage>(
      [&](IStorage** storage) {
        return parent->OpenStorage(platformName(name), nullptr, openMode(write), nullptr, 0,
                                   storage);
      },
      record, code, text);
}

IStorage* KestOleCreateStorage(IStorage* parent, unsigned short const* name, STATSTG* record,
                               long* code, char** text) {
  return opened<IStorage>(
      [&](IStorage** storage) {
        return parent->CreateStorage(platformName(name), kCreateMode, 0, 0, storage);
      },
      record, code, text);
}

IStream* KestOleOpenStream(int write, IStorage* parent, unsigned short const* name, STATSTG* record,
                           long* code, char** text) {
  return opened<IStream>(
      [&](IStream** stream) {
        return parent->OpenStream(platformName(name), nullptr, openMode(write), 0, stream);
      },
      record, code, text);
}

IStream* KestOleCreateStream(IStorage* parent, unsigned short const* name, STATSTG* record,
                             long* code, char** text) {
  return opened<IStream>(
      [&](IStream** stream) {
        return parent->CreateStream(platformName(name), kCreateMode, 0, 0, stream);
      },
      record, code, text);
}

int KestOleWriteStream(IStream* stream, void* buffer, long count, long* code, char** text) {
  StorageErrorReport report(code, text);
  if (!isValidCount(count)) return 0;
  HRESULT const hr = stream->Write(buffer, static_cast<ULONG>(count), nullptr);
  if (FAILED(hr)) return report.failed(0, hr);
  return 1;
}

int KestOleReadStream(IStream* stream, void* buffer, long count, long* code, char** text) {
  StorageErrorReport report(code, text);
  if (!isValidCount(count)) return 0;
  HRESULT const hr = stream->Read(buffer, static_cast<ULONG>(count), nullptr);
  if (FAILED(hr)) return report.failed(0, hr);
  return 1;
}

int KestOleDeleteElement(IStorage* storage, unsigned short const* name, long* code, char** text) {
  StorageErrorReport report(code, text);
  HRESULT const hr = storage->DestroyElement(platformName(name));
  if (FAILED(hr)) return report.failed(0, hr);
  return 1;
}

char const* KestOleCLSIDAsString(GUID const& id) {
  // Every field has a fixed width, so the text is always 38 characters and fits the buffer.
  wsprintfA(kest::g_clsidText, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
            static_cast<unsigned>(id.Data1), static_cast<unsigned>(id.Data2),
            static_cast<unsigned>(id.Data3), id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3],
            id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
  return kest::g_clsidText;
}
