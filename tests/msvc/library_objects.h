#pragma once
// Rows that both consumers in Microsoft's ABI run: on msvcrt.dll (consumer.cpp) and on
// vcruntime140.dll and the UCRT (vc_runtime.cpp), each of which defines check().

bool check(bool ok, char const* what, int line);
#define CHECK(condition) check((condition), #condition, __LINE__)

// The HRESULT of the _com_error that a narrow name raises when SysAllocString finds no
// memory; S_OK if the error out-parameters changed.
long comErrorOfNarrowName();

struct HeapGrowth {
  long long process, runtime;  // bytes, in the process heap and the C runtime's
};

// 2000 rounds of every library class made and freed in each form that a Visual C++ program
// can use, and of _com_error; checks that neither heap grew.
HeapGrowth libraryObjectRows();
