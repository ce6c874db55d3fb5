#pragma once
/// @file
/// Structured storage: compound files, storages, streams and their elements.
///
/// Names come as wide (UTF-16) or narrow (ANSI code page) strings. Interfaces returned carry
/// one reference, which the caller releases. Failures store the failing call's HRESULT in
/// `*code` and point `*text` at the system's message for its low 16 bits; both may be null.
/// The narrow overloads raise _com_error (<comdef.h>) when a name cannot be converted or
/// memory runs out, before anything is opened and without touching `*code` and `*text`.
/// A null storage or stream is refused: the call returns its failure result with code 0 and
/// does nothing else. The library does not initialise COM; callers do.
///
/// Shared between threads: the error text is one buffer for the whole family (every function
/// here that takes `text`, both widths, and CKestOleEnumElements::EnumElements), and
/// KestOleCLSIDAsString has a buffer of its own; each call that writes one overwrites what
/// other threads were handed. Callers on several threads serialise the calls that share a
/// buffer, or pass a null `text`. Everything else may be called from any thread.

#include <objbase.h>
#include <windows.h>

#include "kest011/export.h"

/// @name Compound files, storages and streams
/// A nonzero `write` opens for reading and writing, zero for reading only; every open and
/// create is direct and exclusive, and a create replaces an element of the same name.
/// Given a `record`, the new element's Stat fills it; its pwcsName is the caller's to free
/// with CoTaskMemFree.
/// @{

/// Returns the root storage of the compound file `fileName`, or null on failure.
KEST_API IStorage* KestOleOpenStgFile(int write, unsigned short const* fileName, long* code,
                                      char** text);
/// The same with a narrow (ANSI) name; may raise _com_error (see storage.h).
KEST_API IStorage* KestOleOpenStgFile(int write, char const* fileName, long* code, char** text);

/// Creates (or replaces) the compound file `fileName`. Returns its root storage, or null. A
/// null `fileName` makes a temporary file, deleted with the last release of the storage.
KEST_API IStorage* KestOleCreateStgFile(unsigned short const* fileName, long* code, char** text);
/// The same with a narrow (ANSI) name; may raise _com_error (see storage.h).
KEST_API IStorage* KestOleCreateStgFile(char const* fileName, long* code, char** text);

/// Returns the sub-storage `name` of `parent`, or null on failure.
KEST_API IStorage* KestOleOpenStorage(int write, IStorage* parent, unsigned short const* name,
                                      STATSTG* record, long* code, char** text);
/// The same with a narrow (ANSI) name; may raise _com_error (see storage.h).
KEST_API IStorage* KestOleOpenStorage(int write, IStorage* parent, char const* name,
                                      STATSTG* record, long* code, char** text);

/// Creates (or replaces) the sub-storage `name` of `parent`. Returns it, or null on failure.
KEST_API IStorage* KestOleCreateStorage(IStorage* parent, unsigned short const* name,
                                        STATSTG* record, long* code, char** text);
/// The same with a narrow (ANSI) name; may raise _com_error (see storage.h).
KEST_API IStorage* KestOleCreateStorage(IStorage* parent, char const* name, STATSTG* record,
                                        long* code, char** text);

/// Returns the stream `name` of `parent`, or null on failure.
KEST_API IStream* KestOleOpenStream(int write, IStorage* parent, unsigned short const* name,
                                    STATSTG* record, long* code, char** text);
/// The same with a narrow (ANSI) name; may raise _com_error (see storage.h).
KEST_API IStream* KestOleOpenStream(int write, IStorage* parent, char const* name, STATSTG* record,
                                    long* code, char** text);

/// Creates (or replaces) the stream `name` of `parent`. Returns it, or null on failure.
KEST_API IStream* KestOleCreateStream(IStorage* parent, unsigned short const* name, STATSTG* record,
                                      long* code, char** text);
/// The same with a narrow (ANSI) name; may raise _com_error (see storage.h).
KEST_API IStream* KestOleCreateStream(IStorage* parent, char const* name, STATSTG* record,
                                      long* code, char** text);

/// Writes `count` bytes at the stream's position. Returns 1 (also when the platform moved
/// fewer bytes but reported success), or 0 on failure; a negative count, or a null `buffer`
/// with a positive count, is refused (code 0).
KEST_API int KestOleWriteStream(IStream* stream, void* buffer, long count, long* code, char** text);

/// Reads up to `count` bytes at the stream's position; a read stopped by the end of the
/// stream also returns 1. Returns 0 on failure; a negative count, or a null `buffer` with a
/// positive count, is refused (code 0).
KEST_API int KestOleReadStream(IStream* stream, void* buffer, long count, long* code, char** text);

/// Removes the element `name` (and everything below it) from `storage`. Returns 1, or 0.
KEST_API int KestOleDeleteElement(IStorage* storage, unsigned short const* name, long* code,
                                  char** text);
/// The same with a narrow (ANSI) name; may raise _com_error (see storage.h).
KEST_API int KestOleDeleteElement(IStorage* storage, char const* name, long* code, char** text);

/// Returns "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" for `id`, in a buffer of the library that
/// the next call, from any thread, overwrites.
KEST_API char const* KestOleCLSIDAsString(GUID const& id);
/// @}

// ---- Elements of a storage ----------------------------------------------------------

namespace kest {
struct ElementList;
}

/// A snapshot of the element records of one storage, in the platform's order. Copies share
/// one snapshot; the last of them to go frees it. Copies may be made, assigned and destroyed
/// on any thread, but filling or emptying the snapshot changes it for every copy, so no copy
/// may read it meanwhile.
class KEST_API CKestOleEnumElements {
 public:
  KEST_ALLOCATED_BY_LIBRARY;
  CKestOleEnumElements();  ///< Holds an empty list.
  /// Shares what `other` holds.
  CKestOleEnumElements(CKestOleEnumElements const& other);
  /// Lets go of what this object holds, then shares what `other` holds.
  CKestOleEnumElements& operator=(CKestOleEnumElements const& other);
  virtual ~CKestOleEnumElements();  ///< Lets go of the list; the last copy frees it.

  /// Empties the list, then fills it with the elements of `storage`. Returns 1, or 0 when no
  /// enumerator could be had or memory ran out (the list stays empty); a null `storage` is
  /// refused (code 0) and leaves the list as it was.
  int EnumElements(IStorage* storage, long* code, char** text);

  /// Empties the list and frees its names.
  void FreeElements();

  /// Returns the number of records.
  unsigned int Size();

  /// Returns the record at `index` (from 0); out of range, a zero-filled record. Valid until
  /// the list is next emptied or filled.
  STATSTG const& GetAt(int index);

 private:
  kest::ElementList* m_pElements;
};

/// Finds the element `name` (compared code unit for code unit) of type `type` (0: any) in
/// `storage`. Returns 1 with its record in `record` (pwcsName is the caller's to free with
/// CoTaskMemFree); 0 when not found (code 0) or when no enumerator could be had.
KEST_API int KestOleFindElement(IStorage* storage, unsigned short const* name, unsigned long type,
                                STATSTG& record, long* code, char** text);
/// The same with a narrow (ANSI) name; may raise _com_error (see storage.h).
KEST_API int KestOleFindElement(IStorage* storage, char const* name, unsigned long type,
                                STATSTG& record, long* code, char** text);
