#include "script_runner.h"

#include "panel_error.h"
#include "win_handles.h"

namespace svcpanel {
namespace {

std::wstring CommandInterpreter() {
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) ThrowLastError(L"查找命令解释器", L"cmd.exe");
  return std::wstring(system, length) + L"\\cmd.exe";
}

// cmd expands %...% in its own command line, so the folder, which may hold "%", "!", "^",
// "&" or parentheses, never goes there: cmd starts in the script's folder and is given the
// file name alone. /d skips any AutoRun, /v:off keeps "!" literal, /e:on gives %~dp0.
std::wstring CommandLineFor(const std::wstring &interpreter, const std::wstring &scriptName) {
  return L"\"" + interpreter + L"\" /d /e:on /v:off /c \"\"" + scriptName + L"\"\"";
}

// A hidden script gets no console window at all; only a visible one gets a console of its own.
DWORD CreationFlagsFor(short windowStyle) {
  return windowStyle == SW_HIDE ? CREATE_NO_WINDOW : CREATE_NEW_CONSOLE;
}

UniqueHandle StartScript(const std::wstring &scriptPath, short windowStyle) {
  // cmd.exe would start and fail quietly on a missing script; the panel must not.
  if (GetFileAttributesW(scriptPath.c_str()) == INVALID_FILE_ATTRIBUTES)
    ThrowLastError(L"运行脚本", scriptPath);
  const std::size_t slash = scriptPath.find_last_of(L'\\');
  const std::wstring folder = scriptPath.substr(0, slash + 1);
  const std::wstring interpreter = CommandInterpreter();
  std::wstring commandLine = CommandLineFor(interpreter, scriptPath.substr(slash + 1));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CreationFlagsFor(windowStyle), nullptr, folder.c_str(), &startup, &process))
    ThrowLastError(L"运行脚本", scriptPath);
  CloseHandle(process.hThread);
  return UniqueHandle(process.hProcess);
}

// Sleeps until the process ends or an event arrives: no polling, and an exit
// code that happens to equal STILL_ACTIVE cannot keep us here.
void WaitForProcess(HANDLE process, const std::wstring &scriptPath) {
  for (;;) {
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_FAILED) ThrowLastError(L"等待脚本", scriptPath);
    PumpPendingMessages();
    if (woke == WAIT_OBJECT_0) return;
  }
}

}  // namespace

void RunAndWait(const std::wstring &scriptPath, short windowStyle) {
  UniqueHandle process = StartScript(scriptPath, windowStyle);
  WaitForProcess(process.get(), scriptPath);
  process.reset();
  PumpPendingMessages();
}

void PumpPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) ExitProcess(static_cast<UINT>(msg.wParam));
    DeliverMessage(msg);
  }
}

void DeliverMessage(MSG &msg) {
  const HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && IsDialogMessageW(root, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace svcpanel
