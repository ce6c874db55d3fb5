#pragma once
// Test aids of the memory family: stand-ins for the system functions kest011.dll calls,
// and checks of the error out-parameters.

#include <windows.h>

#include <type_traits>

namespace kest::test {

// Points kest011.dll's import of `function` at `replacement` for the object's lifetime.
class ImportPatch {
 public:
  ImportPatch(char const* function, void* replacement);
  ~ImportPatch();
  ImportPatch(ImportPatch const&) = delete;
  ImportPatch& operator=(ImportPatch const&) = delete;

  void* original() const { return original_; }  // the system function itself

 private:
  void** slot_;
  void* original_;
};

// The code the failing stand-ins report.
DWORD const kInjectedError = ERROR_COMMITMENT_LIMIT;

template <class Result, class... Args>
Result WINAPI failingCall(Args...) {
  SetLastError(kInjectedError);
  if constexpr (std::is_pointer_v<Result>)
    return nullptr;
  else
    return static_cast<Result>(-1);  // INVALID_FILE_SIZE and the like
}

// A stand-in for `function` that fails with kInjectedError.
template <class Result, class... Args>
void* failing(Result(WINAPI*)(Args...)) {
  return reinterpret_cast<void*>(&failingCall<Result, Args...>);
}

// The error out-parameters of one call, stale until the call clears them.
struct Report {
  unsigned long code = 99;
  char* text = reinterpret_cast<char*>(0x1234);

  void expectClear() const;                   // code 0, no text: success or a refusal
  void expectReported(DWORD expected) const;  // the code and its system text
};

}  // namespace kest::test
