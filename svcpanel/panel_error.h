// A failed file or process operation: what was done, on which path, and the system's word on it.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace svcpanel {

class PanelError : public std::exception {
 public:
  PanelError(std::wstring operation, std::wstring path, DWORD code)
      : operation_(std::move(operation)), path_(std::move(path)), code_(code) {}
  const char *what() const noexcept override { return "svcpanel operation failed"; }
  // The message box text, in Chinese, with the system's own error text.
  std::wstring Describe() const;

 private:
  std::wstring operation_;
  std::wstring path_;
  DWORD code_;
};

[[noreturn]] void ThrowLastError(const wchar_t *operation, const std::wstring &path);

// Shows the failure in a message box and ends the program; the scripts keep running.
[[noreturn]] void ReportFailureAndExit(const std::exception &failure);

}  // namespace svcpanel
