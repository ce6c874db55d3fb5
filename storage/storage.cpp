#include "kest011/storage.h"

#include "frame/bounded_text.h"
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
Interface* opened(StorageErrorReport const& report, STATSTG* record, Open open) {
  kest::ComPtr<Interface> element;
  HRESULT hr = open(element.put());
  if (FAILED(hr)) return report.fail<Interface*>(nullptr, hr);
  if (record) {
    hr = element.get()->Stat(record, STATFLAG_DEFAULT);
    if (FAILED(hr)) return report.fail<Interface*>(nullptr, hr);
  }
  return element.release();
}

// A negative count would reach the platform as a count of almost 4 GiB, and a null buffer
// with bytes to move would be written or read by the platform itself: both refused.
bool isValidTransfer(void const* buffer, long count) {
  return count >= 0 && (buffer || count == 0);
}

}  // namespace

IStorage* KestOleOpenStgFile(int write, unsigned short const* fileName, long* code, char** text) {
  StorageErrorReport const report(code, text);
  return opened<IStorage>(report, nullptr, [&](IStorage** root) {
    return StgOpenStorage(platformName(fileName), nullptr, openMode(write), nullptr, 0, root);
  });
}

IStorage* KestOleCreateStgFile(unsigned short const* fileName, long* code, char** text) {
  StorageErrorReport const report(code, text);
  // Without a name the platform makes a temporary file, which nobody else could ever name
  // to delete: it goes with the last release.
  DWORD const mode = fileName ? kCreateMode : kCreateMode | STGM_DELETEONRELEASE;
  return opened<IStorage>(report, nullptr, [&](IStorage** root) {
    return StgCreateDocfile(platformName(fileName), mode, 0, root);
  });
}

IStorage* KestOleOpenStorage(int write, IStorage* parent, unsigned short const* name,
                             STATSTG* record, long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!parent) return nullptr;
  return opened<IStorage>(report, record, [&](IStorage** storage) {
    return parent->OpenStorage(platformName(name), nullptr, openMode(write), nullptr, 0, storage);
  });
}

IStorage* KestOleCreateStorage(IStorage* parent, unsigned short const* name, STATSTG* record,
                               long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!parent) return nullptr;
  return opened<IStorage>(report, record, [&](IStorage** storage) {
    return parent->CreateStorage(platformName(name), kCreateMode, 0, 0, storage);
  });
}

IStream* KestOleOpenStream(int write, IStorage* parent, unsigned short const* name, STATSTG* record,
                           long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!parent) return nullptr;
  return opened<IStream>(report, record, [&](IStream** stream) {
    return parent->OpenStream(platformName(name), nullptr, openMode(write), 0, stream);
  });
}

IStream* KestOleCreateStream(IStorage* parent, unsigned short const* name, STATSTG* record,
                             long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!parent) return nullptr;
  return opened<IStream>(report, record, [&](IStream** stream) {
    return parent->CreateStream(platformName(name), kCreateMode, 0, 0, stream);
  });
}

int KestOleWriteStream(IStream* stream, void* buffer, long count, long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!stream || !isValidTransfer(buffer, count)) return 0;
  HRESULT const hr = stream->Write(buffer, static_cast<ULONG>(count), nullptr);
  if (FAILED(hr)) return report.fail(0, hr);
  return 1;
}

int KestOleReadStream(IStream* stream, void* buffer, long count, long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!stream || !isValidTransfer(buffer, count)) return 0;
  HRESULT const hr = stream->Read(buffer, static_cast<ULONG>(count), nullptr);
  if (FAILED(hr)) return report.fail(0, hr);
  return 1;
}

int KestOleDeleteElement(IStorage* storage, unsigned short const* name, long* code, char** text) {
  StorageErrorReport const report(code, text);
  if (!storage) return 0;
  HRESULT const hr = storage->DestroyElement(platformName(name));
  if (FAILED(hr)) return report.fail(0, hr);
  return 1;
}

char const* KestOleCLSIDAsString(GUID const& id) {
  // Every field has a fixed width, so the text is always 38 characters and fits the buffer.
  kest::format(kest::g_clsidText, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
               static_cast<unsigned long>(id.Data1), unsigned{id.Data2}, unsigned{id.Data3},
               unsigned{id.Data4[0]}, unsigned{id.Data4[1]}, unsigned{id.Data4[2]},
               unsigned{id.Data4[3]}, unsigned{id.Data4[4]}, unsigned{id.Data4[5]},
               unsigned{id.Data4[6]}, unsigned{id.Data4[7]});
  return kest::g_clsidText;
}
