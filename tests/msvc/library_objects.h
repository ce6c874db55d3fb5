#pragma once
// Rows that both consumers in Microsoft's ABI run, on msvcrt.dll (consumer.cpp) and on
// vcruntime140.dll and the UCRT (vc_runtime.cpp), each of which defines check().

bool check(bool ok, char const* what, int line);
#define CHECK(condition) check((condition), #condition, __LINE__)

// Points every slot of the DLL's import address table that holds `from` at `to`.
void redirectImport(void* from, void* to);

// Raises _com_error from a narrow name for which SysAllocString finds no memory, and
// returns the HRESULT caught here.
long comErrorOfNarrowName();

// What a number of rounds left allocated in the process heap and in the C runtime's heap.
struct HeapGrowth {
  long long process;
  long long runtime;
};

// Makes and frees objects of every library class in each form a Visual C++ program can
// (new and delete, new[] and delete[], delete[] through slot 0 of the virtual table,
// placement and nothrow new, a derived class) and raises _com_error, 2000 times; checks
// that neither heap grew.
HeapGrowth libraryObjectRows();
