#pragma once
// The library's one way of reporting a failure through a call's error out-parameters.
//
// A wrapper builds its report first thing (which clears the out-parameters), checks its
// arguments, makes its system call, and on failure returns `report.lastError(result)`.

#include <windows.h>

namespace kest {

inline constexpr DWORD kErrorTextSize = 256;
using ErrorText = char[kErrorTextSize];

// Points `*text` (when the caller wants it) at `buffer`, after FormatMessageA has written
// the system's message for `messageId` into it. With no message for the code the buffer is
// emptied, so the text never shows an earlier failure's message.
void describeFailure(DWORD messageId, char** text, ErrorText& buffer);

// The error out-parameters of one call, for codes of type `Code` and texts in `buffer`.
template <class Code>
class ErrorReport {
 public:
  ErrorReport(Code* code, char** text, ErrorText& buffer)
      : code_(code), text_(text), buffer_(buffer) {
    if (code_) *code_ = 0;
    if (text_) *text_ = nullptr;
  }

  // Stores `code` and points the text at a fixed message of the library's own.
  template <class Result>
  Result failWithText(Result result, Code code, char const* message) const {
    if (code_) *code_ = code;
    if (text_) *text_ = const_cast<char*>(message);
    return result;
  }

 protected:
  // Stores `code` and the system text for `messageId`, and returns `result`.
  template <class Result>
  Result failWithMessage(Result result, Code code, DWORD messageId) const {
    if (code_) *code_ = code;
    describeFailure(messageId, text_, buffer_);
    return result;
  }

 private:
  Code* code_;
  char** text_;
  ErrorText& buffer_;
};

// The 256-byte text buffer of the file, directory, process and memory families.
ErrorText& systemErrorText();

// Failures of the file, directory, process and memory families: GetLastError codes.
class SystemErrorReport : public ErrorReport<unsigned long> {
 public:
  SystemErrorReport(unsigned long* code, char** text)
      : ErrorReport(code, text, systemErrorText()) {}

  // Stores `code` and its system text, and returns `result`.
  template <class Result>
  Result fail(Result result, DWORD code) const {
    return failWithMessage(result, code, code);
  }

  // Reports the thread's last error: call it straight after the failing system call.
  template <class Result>
  Result lastError(Result result) const {
    return fail(result, GetLastError());
  }

  template <class Result>
  Result outOfMemory(Result result) const {
    return fail(result, ERROR_NOT_ENOUGH_MEMORY);
  }
};

}  // namespace kest
