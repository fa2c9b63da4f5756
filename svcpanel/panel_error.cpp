#include "panel_error.h"

#include "bundle.h"

namespace svcpanel {
namespace {

std::wstring SystemErrorText(DWORD code) {
  wchar_t *buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
  std::wstring text = length ? std::wstring(buffer, length) : L"未知错误";
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  return text;
}

}  // namespace

std::wstring PanelError::Describe() const {
  return L"操作失败，程序将退出。\r\n\r\n操作：" + operation_ + L"\r\n路径：" + path_ +
         L"\r\n错误：" + SystemErrorText(code_) + L"（代码 " + std::to_wstring(code_) + L"）";
}

void ThrowLastError(const wchar_t *operation, const std::wstring &path) {
  throw PanelError(operation, path, GetLastError());
}

void ReportFailureAndExit(const std::exception &failure) {
  const auto *panelError = dynamic_cast<const PanelError *>(&failure);
  const std::wstring text =
      panelError ? panelError->Describe() : L"操作失败，程序将退出：内存不足。";
  // Task-modal: while the box is up, the panel's buttons take no clicks.
  MessageBoxW(nullptr, text.c_str(), kMessageTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL);
  ExitProcess(1);
}

}  // namespace svcpanel
