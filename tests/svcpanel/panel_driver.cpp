#include "panel_driver.h"

#include <chrono>

namespace panel_driver {
namespace {

struct WindowSearch {
  DWORD pid;
  const wchar_t *className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  auto &search = *reinterpret_cast<WindowSearch *>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (owner != search.pid || std::wstring(name) != search.className) return TRUE;
  if (search.visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
  search.found = hwnd;
  return FALSE;
}

}  // namespace

void PrintTo(const ButtonState &state, std::ostream *os) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, state.caption.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string caption(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, state.caption.c_str(), -1, caption.data(), length, nullptr, nullptr);
  caption.resize(caption.size() - 1);
  *os << (state.enabled ? "enabled \"" : "disabled \"") << caption << '"';
}

std::wstring OwnDirectory() {
  wchar_t path[MAX_PATH];
  const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L'\\'));
}

std::wstring MakeFreshDirectory(const std::wstring &prefix) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  for (unsigned serial = GetTickCount();; ++serial) {
    const std::wstring dir = temp + prefix + std::to_wstring(serial);
    if (CreateDirectoryW(dir.c_str(), nullptr)) return dir;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
}

void RemoveTree(const std::wstring &dir) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::wstring &path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring &path, const std::string &bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
  CloseHandle(file);
  return ok && wrote == bytes.size();
}

bool WaitUntil(const std::function<bool()> &condition, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    Sleep(30);
  }
  return condition();
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[512] = {};
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

HWND FindTopWindow(DWORD pid, const wchar_t *className, bool visibleOnly) {
  WindowSearch search{pid, className, visibleOnly, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (std::wstring(name) == L"Static") text += WindowText(child);
  }
  return text;
}

PanelProcess::PanelProcess(const std::wstring &exePath, const std::wstring &workingDir) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workingDir.c_str(),
                     &startup, &process_))
    CloseHandle(process_.hThread);
  else
    process_ = {};
}

PanelProcess::~PanelProcess() {
  if (!Started()) return;
  if (Running()) TerminateProcess(process_.hProcess, 0);
  CloseHandle(process_.hProcess);
}

bool PanelProcess::Running() const {
  return Started() && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool PanelProcess::WaitForExit(DWORD *code, int seconds) const {
  if (!Started() || WaitForSingleObject(process_.hProcess, seconds * 1000) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process_.hProcess, code);
  return true;
}

HWND PanelProcess::WaitForForm() {
  WaitUntil([&] { return (form_ = FindTopWindow(Id(), kFormClass, true)) != nullptr; });
  return form_;
}

HWND PanelProcess::WaitForMessageBox() const {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindTopWindow(Id(), L"#32770", true)) != nullptr; });
  return box;
}

// Caption first: the panel sets Enabled before Caption, so this order never
// reports a pair that the panel did not show.
ButtonState PanelProcess::State(int id) const {
  std::wstring caption = WindowText(Button(id));
  return {IsWindowEnabled(Button(id)) != FALSE, std::move(caption)};
}

bool PanelProcess::Shows(const ButtonState &start, const ButtonState &stop) const {
  return State(kCommand1Id) == start && State(kCommand2Id) == stop;
}

void PanelProcess::Click(int id) const { PostMessageW(Button(id), BM_CLICK, 0, 0); }

}  // namespace panel_driver
