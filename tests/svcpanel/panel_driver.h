// Drives a running svcpanel.exe from outside, as a user would: finds its
// window, reads its buttons, clicks them. Shared by the end-to-end tests and the demo.
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>

namespace panel_driver {

constexpr int kCommand1Id = 1001;
constexpr int kCommand2Id = 1002;
constexpr wchar_t kFormClass[] = L"VelmoraSvcpanelForm1";

struct ButtonState {
  bool enabled;
  std::wstring caption;
  bool operator==(const ButtonState &other) const {
    return enabled == other.enabled && caption == other.caption;
  }
  bool operator!=(const ButtonState &other) const { return !(*this == other); }
};
void PrintTo(const ButtonState &state, std::ostream *os);

inline const ButtonState kIdleStart{true, L"svcpanel"};
inline const ButtonState kStarted{false, L"已启动"};
inline const ButtonState kStarting{false, L"启动中。。。"};
inline const ButtonState kStopIdle{true, L"停止服务"};
inline const ButtonState kStopping{false, L"停止中。。。"};

std::wstring OwnDirectory();
// A new, empty folder under the temporary folder whose name starts with the prefix.
std::wstring MakeFreshDirectory(const std::wstring &prefix);
// Deletes the folder and everything in it, as far as it can.
void RemoveTree(const std::wstring &dir);
bool Exists(const std::wstring &path);
std::string ReadFileBytes(const std::wstring &path);
bool WriteFileBytes(const std::wstring &path, const std::string &bytes);
// Polls until the condition holds or the time is up; says which.
bool WaitUntil(const std::function<bool()> &condition, int seconds = 30);
std::wstring WindowText(HWND hwnd);
HWND FindTopWindow(DWORD pid, const wchar_t *className, bool visibleOnly);
// The text of a message box: its static controls.
std::wstring MessageBoxText(HWND box);

class PanelProcess {
 public:
  // Starts the executable with the folder as its current directory.
  PanelProcess(const std::wstring &exePath, const std::wstring &workingDir);
  ~PanelProcess();
  PanelProcess(const PanelProcess &) = delete;
  PanelProcess &operator=(const PanelProcess &) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  DWORD Id() const { return process_.dwProcessId; }
  bool Running() const;
  bool WaitForExit(DWORD *code, int seconds = 30) const;
  HWND WaitForForm();
  HWND WaitForMessageBox() const;
  HWND Form() const { return form_; }
  HWND Button(int id) const { return GetDlgItem(form_, id); }
  ButtonState State(int id) const;
  bool Shows(const ButtonState &start, const ButtonState &stop) const;
  void Click(int id) const;

 private:
  PROCESS_INFORMATION process_{};
  HWND form_ = nullptr;
};

}  // namespace panel_driver
