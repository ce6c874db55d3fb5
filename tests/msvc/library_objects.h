#pragma once
// Rows that both consumers in Microsoft's ABI run, on msvcrt.dll and on vcruntime140.dll.

bool check(bool ok, char const* what, int line);
#define CHECK(condition) check((condition), #condition, __LINE__)

struct HeapGrowth {
  long long process, runtime;  // bytes, in the process heap and the C runtime's
};

// 2000 rounds of every library class made and freed in each form that a Visual C++ program
// can use, and of _com_error from a narrow name; checks that neither heap grew.
HeapGrowth libraryObjectRows();
