// svcpanel.exe end to end: a copy of the fixture bundle in a temporary folder
// with a space in its name, the real panel started in it, and its window read
// and clicked from outside, as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kCommand1Id = 1001;
constexpr int kCommand2Id = 1002;
constexpr wchar_t kFormClass[] = L"VelmoraSvcpanelForm1";

std::wstring OwnDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, length);
  return dir.substr(0, dir.find_last_of(L'\\'));
}

std::wstring FixtureDirectory() {
  wchar_t value[MAX_PATH] = {};
  GetEnvironmentVariableW(L"SVCPANEL_FIXTURE", value, MAX_PATH);
  return value;
}

bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::wstring &path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteFileBytes(const std::wstring &path, const std::string &bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write";
  DWORD wrote = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
  CloseHandle(file);
}

bool WaitUntil(const std::function<bool()> &condition, int seconds = 30) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  return condition();
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[512] = {};
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

struct ButtonState {
  bool enabled;
  std::wstring caption;
  bool operator==(const ButtonState &other) const {
    return enabled == other.enabled && caption == other.caption;
  }
};

void PrintTo(const ButtonState &state, std::ostream *os) {
  *os << (state.enabled ? "enabled " : "disabled ") << testing::PrintToString(state.caption);
}

const ButtonState kIdleStart{true, L"svcpanel"};
const ButtonState kStarted{false, L"已启动"};
const ButtonState kStarting{false, L"启动中。。。"};
const ButtonState kStopIdle{true, L"停止服务"};
const ButtonState kStopping{false, L"停止中。。。"};

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

HWND FindTopWindow(DWORD pid, const wchar_t *className, bool visibleOnly) {
  WindowSearch search{pid, className, visibleOnly, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The text of a message box: its static control.
std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (std::wstring(name) == L"Static") text += WindowText(child);
  }
  return text;
}

class Bundle {
 public:
  Bundle() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    dir_ = std::wstring(temp) + L"svcpanel e2e " + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++serial);
    for (const wchar_t *sub : {L"", L"\\Ext", L"\\PHP", L"\\apache", L"\\apache\\conf", L"\\MySQL"})
      CreateDirectoryW((dir_ + sub).c_str(), nullptr);
    const std::wstring fixture = FixtureDirectory() + L"\\Ext\\";
    for (const wchar_t *name : {L"B_Start.ini", L"B_Stop.ini", L"B_Port.ini", L"I_php.ini", L"I_apache.ini",
                                L"I_mysql.ini"})
      CopyFileW((fixture + name).c_str(), Ext(name).c_str(), FALSE);
    // What a bundle holds before its first Start: a stop script, a probe and its answer.
    CopyFileW(Ext(L"B_Stop.ini").c_str(), Ext(L"B_Stop.bat").c_str(), FALSE);
    CopyFileW(Ext(L"B_Port.ini").c_str(), Ext(L"B_Port.bat").c_str(), FALSE);
    WriteFileBytes(Ext(L"T_Port.txt"), "a0m0\r\n");
    SetAnswer("a0m0\r\n");
    CopyFileW((OwnDirectory() + L"\\gate.exe").c_str(), Ext(L"gate.exe").c_str(), FALSE);
    CopyFileW((OwnDirectory() + L"\\svcpanel.exe").c_str(), Path(L"\\svcpanel.exe").c_str(), FALSE);
  }

  std::wstring Path(const wchar_t *relative) const { return dir_ + relative; }
  std::wstring Ext(const wchar_t *name) const { return dir_ + L"\\Ext\\" + name; }
  const std::wstring &Dir() const { return dir_; }
  std::string SlashedDir() const {
    std::string slashed(dir_.begin(), dir_.end());
    for (char &c : slashed)
      if (c == '\\') c = '/';
    return slashed;
  }

  void SetAnswer(const std::string &answer) const { WriteFileBytes(Ext(L"answer.txt"), answer); }
  void Arm(const wchar_t *gate, const std::string &sleepMs = "") const {
    WriteFileBytes(Ext((std::wstring(L"arm-") + gate).c_str()), sleepMs);
  }
  bool Holding(const wchar_t *gate) const { return Exists(Ext((std::wstring(L"waiting-") + gate).c_str())); }
  void Release(const wchar_t *gate) const {
    WriteFileBytes(Ext((std::wstring(L"release-") + gate).c_str()), "");
  }
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    const std::string text = ReadFileBytes(Ext(L"run.log"));
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
      lines.push_back(text.substr(from, end - from));
    return lines;
  }

 private:
  std::wstring dir_;
};

class PanelProcess {
 public:
  explicit PanelProcess(const Bundle &bundle) {
    std::wstring commandLine = L"\"" + bundle.Path(L"\\svcpanel.exe") + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, bundle.Dir().c_str(),
                        &startup, &process_))
      ADD_FAILURE() << "cannot start svcpanel.exe: " << GetLastError();
    CloseHandle(process_.hThread);
  }
  ~PanelProcess() {
    if (Running()) TerminateProcess(process_.hProcess, 0);
    CloseHandle(process_.hProcess);
  }

  DWORD Id() const { return process_.dwProcessId; }
  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  bool WaitForExit(DWORD *code, int seconds = 30) const {
    if (WaitForSingleObject(process_.hProcess, seconds * 1000) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_.hProcess, code);
    return true;
  }
  HWND WaitForForm() {
    WaitUntil([&] { return (form_ = FindTopWindow(Id(), kFormClass, true)) != nullptr; });
    return form_;
  }
  HWND WaitForMessageBox() const {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindTopWindow(Id(), L"#32770", true)) != nullptr; });
    return box;
  }
  HWND Form() const { return form_; }
  HWND Button(int id) const { return GetDlgItem(form_, id); }
  ButtonState State(int id) const { return {IsWindowEnabled(Button(id)) != FALSE, WindowText(Button(id))}; }
  bool Shows(const ButtonState &start, const ButtonState &stop) const {
    return State(kCommand1Id) == start && State(kCommand2Id) == stop;
  }
  void Click(int id) const { PostMessageW(Button(id), BM_CLICK, 0, 0); }

 private:
  PROCESS_INFORMATION process_{};
  HWND form_ = nullptr;
};

#define EXPECT_SHOWS(panel, start, stop)              \
  do {                                                \
    EXPECT_EQ((panel).State(kCommand1Id), (start));   \
    EXPECT_EQ((panel).State(kCommand2Id), (stop));    \
  } while (0)

// The window is created with the same buttons an idle refresh gives, so idle
// is reached through states that tell the steps apart: a first probe that
// reports the servers up, then a Stop whose refresh reports them down.
const std::vector<std::string> kIdleLog = {"port J_SerVer_Apache J_SerVer_MySQL",
                                           "stop J_SerVer_Apache J_SerVer_MySQL", "stopped",
                                           "port J_SerVer_Apache J_SerVer_MySQL"};

void WaitForStarted(const Bundle &bundle, PanelProcess &panel) {
  bundle.SetAnswer("a1m1\r\n");
  ASSERT_NE(panel.WaitForForm(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kStarted, kStopIdle); }));
}

void WaitForIdle(const Bundle &bundle, PanelProcess &panel) {
  WaitForStarted(bundle, panel);
  bundle.SetAnswer("a0m0\r\n");
  panel.Click(kCommand2Id);
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kIdleStart, kStopIdle); }));
  ASSERT_EQ(bundle.Log(), kIdleLog);
}

// The log lines after the idle prefix.
std::vector<std::string> LogAfterIdle(const Bundle &bundle) {
  const auto log = bundle.Log();
  return std::vector<std::string>(log.begin() + std::min(log.size(), kIdleLog.size()), log.end());
}

std::string ServiceNumberIn(const std::string &text) {
  std::smatch match;
  if (!std::regex_search(text, match, std::regex("J_Apache_(\\d+) J_Mysql_(\\d+)")) || match[1] != match[2])
    return {};
  return match[1];
}

TEST(Panel, WindowAndButtonsAsDesigned) {
  Bundle bundle;
  bundle.Arm(L"port");
  PanelProcess panel(bundle);
  const HWND form = panel.WaitForForm();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(WindowText(form), L"Velmora启动/停止服务");

  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, 508);
  EXPECT_EQ(client.bottom, 314);
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  RECT frame;
  GetWindowRect(form, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  const RECT expected[] = {{80, 48, 185, 97}, {304, 48, 409, 98}};
  for (int i = 0; i < 2; ++i) {
    RECT rect;
    GetWindowRect(panel.Button(kCommand1Id + i), &rect);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT *>(&rect), 2);
    EXPECT_EQ(rect.left, expected[i].left);
    EXPECT_EQ(rect.top, expected[i].top);
    EXPECT_EQ(rect.right, expected[i].right);
    EXPECT_EQ(rect.bottom, expected[i].bottom);
    const LONG buttonStyle = GetWindowLongW(panel.Button(kCommand1Id + i), GWL_STYLE);
    EXPECT_TRUE(buttonStyle & WS_TABSTOP);
    EXPECT_NE(buttonStyle & BS_TYPEMASK, static_cast<LONG>(BS_DEFPUSHBUTTON));
  }
  // Tab order: Command1 first, then Command2.
  EXPECT_EQ(GetWindow(form, GW_CHILD), panel.Button(kCommand1Id));
  EXPECT_EQ(GetNextDlgTabItem(form, panel.Button(kCommand1Id), FALSE), panel.Button(kCommand2Id));

  // Shown before the probe has finished, with the buttons as created.
  ASSERT_TRUE(WaitUntil([&] { return bundle.Holding(L"port"); }));
  EXPECT_SHOWS(panel, kIdleStart, kStopIdle);
  bundle.SetAnswer("a1m1\r\n");
  bundle.Release(L"port");
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kStarted, kStopIdle); }));
  // A disabled button is skipped by Tab.
  EXPECT_EQ(GetNextDlgTabItem(form, panel.Button(kCommand2Id), FALSE), panel.Button(kCommand2Id));
}

TEST(Panel, StartThenStopFollowTheStateTable) {
  Bundle bundle;
  PanelProcess panel(bundle);
  WaitForIdle(bundle, panel);

  bundle.Arm(L"stop");
  bundle.Arm(L"start");
  panel.Click(kCommand1Id);
  // First wait, on the previous Start's stop script: nothing changes yet.
  ASSERT_TRUE(WaitUntil([&] { return bundle.Holding(L"stop"); }));
  EXPECT_SHOWS(panel, kIdleStart, kStopIdle);
  EXPECT_FALSE(Exists(bundle.Ext(L"B_Start.bat")));
  bundle.Release(L"stop");

  ASSERT_TRUE(WaitUntil([&] { return bundle.Holding(L"start"); }));
  EXPECT_SHOWS(panel, kStarting, kStopIdle);
  // All six files regenerated, with one fresh pair of names.
  const std::string number = ServiceNumberIn(ReadFileBytes(bundle.Ext(L"B_Start.bat")));
  ASSERT_FALSE(number.empty());
  const int suffix = std::stoi(number);
  EXPECT_GE(suffix, 1);
  EXPECT_LE(suffix, 100);
  for (const wchar_t *script : {L"B_Stop.bat", L"B_Port.bat"})
    EXPECT_EQ(ServiceNumberIn(ReadFileBytes(bundle.Ext(script))), number);
  EXPECT_EQ(ReadFileBytes(bundle.Path(L"\\PHP\\php.ini")).find("PHP_Path"), std::string::npos);
  EXPECT_NE(ReadFileBytes(bundle.Path(L"\\PHP\\php.ini")).find(bundle.SlashedDir() + "/PHP/ext"), std::string::npos);
  EXPECT_NE(ReadFileBytes(bundle.Path(L"\\apache\\conf\\httpd.conf")).find("ServerRoot \"" + bundle.SlashedDir() + "/apache\""),
            std::string::npos);
  EXPECT_NE(ReadFileBytes(bundle.Path(L"\\MySQL\\my.ini")).find("basedir=\"" + bundle.SlashedDir() + "/MySQL\""),
            std::string::npos);

  bundle.SetAnswer("a1m1\r\n");
  bundle.Release(L"start");
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kStarted, kStopIdle); }));
  const std::string names = "J_Apache_" + number + " J_Mysql_" + number;
  EXPECT_EQ(LogAfterIdle(bundle), (std::vector<std::string>{"stop J_SerVer_Apache J_SerVer_MySQL", "stopped",
                                                           "start " + names, "port " + names}));

  bundle.Arm(L"stop");
  panel.Click(kCommand2Id);
  ASSERT_TRUE(WaitUntil([&] { return bundle.Holding(L"stop"); }));
  EXPECT_SHOWS(panel, kStarted, kStopping);
  bundle.SetAnswer("a0m1\r\n");
  bundle.Release(L"stop");
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kIdleStart, kStopIdle); }));
  const auto log = bundle.Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[log.size() - 3], "stop " + names);

  // A second Start restores every script from its template with its own new names.
  panel.Click(kCommand1Id);
  ASSERT_TRUE(WaitUntil([&] { return bundle.Log().back().rfind("port J_Apache_", 0) == 0 && bundle.Log().size() > log.size(); }));
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kIdleStart, kStopIdle); }));
  const std::string second = ServiceNumberIn(ReadFileBytes(bundle.Ext(L"B_Start.bat")));
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(ServiceNumberIn(ReadFileBytes(bundle.Ext(L"B_Stop.bat"))), second);
  EXPECT_EQ(bundle.Log()[log.size()], "stop " + names);  // the previous Start's servers stopped first
}

TEST(Panel, StopClickedDuringStartsFirstWaitRunsWholeNested) {
  Bundle bundle;
  PanelProcess panel(bundle);
  WaitForIdle(bundle, panel);

  bundle.Arm(L"stop");
  panel.Click(kCommand1Id);
  ASSERT_TRUE(WaitUntil([&] { return bundle.Holding(L"stop"); }));
  panel.Click(kCommand2Id);
  // The nested Stop runs its own stop script and refresh while the outer wait goes on.
  ASSERT_TRUE(WaitUntil([&] { return LogAfterIdle(bundle).size() == 4; }));
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kIdleStart, kStopIdle); }));
  EXPECT_TRUE(bundle.Holding(L"stop"));
  bundle.Release(L"stop");
  ASSERT_TRUE(WaitUntil([&] { return LogAfterIdle(bundle).size() == 7; }));
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kIdleStart, kStopIdle); }));
  const auto log = LogAfterIdle(bundle);
  const std::vector<std::string> nested(log.begin(), log.begin() + 5);
  EXPECT_EQ(nested, (std::vector<std::string>{"stop J_SerVer_Apache J_SerVer_MySQL",
                                              "stop J_SerVer_Apache J_SerVer_MySQL", "stopped",
                                              "port J_SerVer_Apache J_SerVer_MySQL", "stopped"}));
  EXPECT_EQ(log[5].rfind("start J_Apache_", 0), 0u);
  EXPECT_EQ(log[6].rfind("port J_Apache_", 0), 0u);
}

TEST(Panel, SecondInstanceOnlyShowsItsMessage) {
  Bundle bundle;
  PanelProcess first(bundle);
  WaitForStarted(bundle, first);
  const auto logBefore = bundle.Log();

  PanelProcess second(bundle);
  const HWND box = second.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), L"系统提示");
  EXPECT_EQ(MessageBoxText(box), L"启动/停止服务程序已经在运行。");
  EXPECT_EQ(FindTopWindow(second.Id(), kFormClass, true), nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD code = 1234;
  ASSERT_TRUE(second.WaitForExit(&code));
  EXPECT_EQ(bundle.Log(), logBefore);
  EXPECT_TRUE(first.Running());
  EXPECT_SHOWS(first, kStarted, kStopIdle);
}

TEST(Panel, MissingStopScriptReportsAndEnds) {
  Bundle bundle;
  PanelProcess panel(bundle);
  WaitForIdle(bundle, panel);
  DeleteFileW(bundle.Ext(L"B_Stop.bat").c_str());
  panel.Click(kCommand1Id);
  const HWND box = panel.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(L"B_Stop.bat"), std::wstring::npos);
  EXPECT_SHOWS(panel, kIdleStart, kStopIdle);
  EXPECT_FALSE(Exists(bundle.Ext(L"B_Start.bat")));  // nothing generated
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD code = 0;
  ASSERT_TRUE(panel.WaitForExit(&code));
  EXPECT_NE(code, 0u);
}

TEST(Panel, ClosingDuringAWaitEndsThePanelAndTheScriptGoesOn) {
  Bundle bundle;
  PanelProcess panel(bundle);
  WaitForIdle(bundle, panel);
  bundle.Arm(L"stop");
  panel.Click(kCommand1Id);
  ASSERT_TRUE(WaitUntil([&] { return bundle.Holding(L"stop"); }));
  PostMessageW(panel.Form(), WM_CLOSE, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(panel.WaitForExit(&code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(bundle.Holding(L"stop"));
  bundle.Release(L"stop");
  ASSERT_TRUE(WaitUntil([&] { return bundle.Log().back() == "stopped"; }));
}

}  // namespace
