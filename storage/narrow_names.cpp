// The narrow-name overloads: each converts its name and calls the wide form, which does all
// the work, error out-parameters included. A name that cannot be converted raises
// _com_error before the wide form runs, so nothing is opened and the out-parameters keep
// what the caller had in them.

#include "kest011/storage.h"
#include "storage/wide_name.h"

using kest::WideName;

IStorage* KestOleOpenStgFile(int write, char const* fileName, long* code, char** text) {
  return KestOleOpenStgFile(write, WideName(fileName).get(), code, text);
}

IStorage* KestOleCreateStgFile(char const* fileName, long* code, char** text) {
  return KestOleCreateStgFile(WideName(fileName).get(), code, text);
}

IStorage* KestOleOpenStorage(int write, IStorage* parent, char const* name, STATSTG* record,
                             long* code, char** text) {
  return KestOleOpenStorage(write, parent, WideName(name).get(), record, code, text);
}

IStorage* KestOleCreateStorage(IStorage* parent, char const* name, STATSTG* record, long* code,
                               char** text) {
  return KestOleCreateStorage(parent, WideName(name).get(), record, code, text);
}

IStream* KestOleOpenStream(int write, IStorage* parent, char const* name, STATSTG* record,
                           long* code, char** text) {
  return KestOleOpenStream(write, parent, WideName(name).get(), record, code, text);
}

IStream* KestOleCreateStream(IStorage* parent, char const* name, STATSTG* record, long* code,
                             char** text) {
  return KestOleCreateStream(parent, WideName(name).get(), record, code, text);
}

int KestOleDeleteElement(IStorage* storage, char const* name, long* code, char** text) {
  return KestOleDeleteElement(storage, WideName(name).get(), code, text);
}

int KestOleFindElement(IStorage* storage, char const* name, unsigned long type, STATSTG& record,
                       long* code, char** text) {
  return KestOleFindElement(storage, WideName(name).get(), type, record, code, text);
}
