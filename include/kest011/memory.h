#pragma once
/// @file
/// Memory blocks, memory-mapped files and named shared memory.
///
/// Copying one of these objects shares what the source holds: both refer to the same block,
/// mapping or view, which stays alive until the last object holding it closes it or is
/// destroyed. Open and Create fail at once on an object that already holds something.
///
/// Threads: an object is used by one thread at a time; copies of it may live on any threads.
/// Shared: the error text that a failed Open or Create points `*text` at is the library's one
/// 256-byte error text buffer, which the file, directory and process functions write too;
/// copy it before the next failing call on any thread. Everything else here is safe to call
/// from any thread.

#include <windows.h>

#include "kest011/export.h"

namespace kest {
class SharedHolder;
}

// ---- Memory block -------------------------------------------------------------------

/// One zero-filled block: small blocks from the global heap, larger ones straight from the
/// virtual-memory allocator.
class KEST_API CKestMemory {
 public:
  KEST_ALLOCATED_BY_LIBRARY;
  CKestMemory();  ///< Holds no block.
  /// Shares what `other` holds.
  CKestMemory(CKestMemory const& other);
  /// Lets go of what this object holds, then shares what `other` holds.
  CKestMemory& operator=(CKestMemory const& other);
  virtual ~CKestMemory();  ///< Lets go of the block, as Close does.

  /// Allocates `size` zero bytes, from the global heap while `size` is at most `limit`
  /// (0 means 0x80000). Returns the block, or null (code 0 for a size of 0 or while a block
  /// is held).
  unsigned char* Open(unsigned int size, unsigned int limit, unsigned long* code, char** text);

  /// Lets go of the block; the last object holding it frees it.
  void Close();

  /// Returns the size asked for, or 0 while no block is held.
  unsigned int Size();

  /// Returns the block, or null while none is held.
  unsigned char* Address();

 protected:
  HGLOBAL m_hMemory;          ///< null when the block came from the virtual-memory allocator
  unsigned char* m_pAddress;  ///< the block, or null
  unsigned int m_nSize;       ///< the size asked for, or 0

 private:
  kest::SharedHolder* m_pHolder;
};

// ---- Memory-mapped file -------------------------------------------------------------

/// One existing, non-empty file mapped whole into memory, read-only or read-write.
class KEST_API CKestMmFile {
 public:
  KEST_ALLOCATED_BY_LIBRARY;
  /// How the file is opened and mapped.
  enum eOpenmode : int {
    eRead = 1,       ///< others may still open the file for reading
    eReadWrite = 2,  ///< nobody else may open the file
  };

  CKestMmFile();  ///< Holds no file.
  /// Shares what `other` holds.
  CKestMmFile(CKestMmFile const& other);
  /// Lets go of what this object holds, then shares what `other` holds.
  CKestMmFile& operator=(CKestMmFile const& other);
  virtual ~CKestMmFile();  ///< Lets go of the view and the file, as Close does.

  /// Maps the file at `path`. Returns the view, or null (code 0 while a file is mapped, for
  /// another mode, a null or empty path, one longer than MAX_PATH - 1, or an empty file, whose
  /// text is then a constant of the library's own).
  void* Open(eOpenmode mode, char const* path, unsigned long* code, char** text);

  /// Lets go of the view and the file; the last object holding them releases them.
  void Close();

  /// Returns the low half of the size of the file mapped last (0 if none) and stores the
  /// high half in `*high` when `high` is not null.
  unsigned long Size(unsigned long* high);

 protected:
  eOpenmode m_eMode;         ///< 0 while closed
  char m_szPath[MAX_PATH];   ///< the path mapped
  ULARGE_INTEGER m_uliSize;  ///< the size of the file mapped last
  // The handles and view are valid only while m_eMode is not 0; afterwards they may keep
  // values of closed handles.
  HANDLE m_hFile;     ///< the file
  HANDLE m_hMapping;  ///< its mapping
  void* m_pView;      ///< the view of the whole file

 private:
  kest::SharedHolder* m_pHolder;
};

// ---- Named shared memory ------------------------------------------------------------

/// A named block backed by the paging file, seen by every object and process that uses the
/// name. It lives while anyone holds it.
class KEST_API CKestSharedMemory {
 public:
  KEST_ALLOCATED_BY_LIBRARY;
  CKestSharedMemory();  ///< Holds no block.
  /// Shares what `other` holds.
  CKestSharedMemory(CKestSharedMemory const& other);
  /// Lets go of what this object holds, then shares what `other` holds.
  CKestSharedMemory& operator=(CKestSharedMemory const& other);
  virtual ~CKestSharedMemory();  ///< Lets go of the block, as Close does.

  /// Creates a new zero-filled block of `size` bytes. Returns its address, or null (code 0
  /// while this object holds a block, for a null or empty name, one longer than MAX_PATH - 1,
  /// or one already in use).
  void* Create(char const* name, unsigned long size, unsigned long* code, char** text);

  /// Attaches to an existing block. Returns its address, or null (code 0 while this object
  /// holds a block, for a null or empty name, or one longer than MAX_PATH - 1).
  void* Open(char const* name, unsigned long* code, char** text);

  /// Returns 1 when a block of that name can be opened for writing, else 0 (also for a null
  /// or empty name).
  int Exist(char const* name);

  /// Lets go of the block; it is gone once its last holder in any process lets go.
  void Close();

  /// Returns the size given to the last Create, or 0 after an Open.
  unsigned long Size();

  /// Returns the block's address, or null while none is held.
  operator unsigned char*() const;

 protected:
  int m_nState;             ///< 0 closed, 1 opened, 2 created
  char m_szName[MAX_PATH];  ///< the block's name
  DWORD m_dwSize;           ///< the size given to Create, or 0
  HANDLE m_hMapping;        ///< the mapping, while a block is held
  void* m_pView;            ///< the block's address, while one is held

 private:
  kest::SharedHolder* m_pHolder;
};
