// svcpanel.exe end to end: a copy of the fixture bundle in a temporary folder
// with a space in its name, the real panel started in it, and its window read
// and clicked from outside, as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "panel_driver.h"

using namespace panel_driver;

namespace {

std::wstring FixtureDirectory() {
  wchar_t value[MAX_PATH] = {};
  GetEnvironmentVariableW(L"SVCPANEL_FIXTURE", value, MAX_PATH);
  return value;
}

class Bundle {
 public:
  explicit Bundle(const wchar_t *folderPrefix = L"svcpanel e2e ") : dir_(MakeFreshDirectory(folderPrefix)) {
    for (const wchar_t *sub : {L"\\Ext", L"\\PHP", L"\\apache", L"\\apache\\conf", L"\\MySQL"})
      CreateDirectoryW((dir_ + sub).c_str(), nullptr);
    const std::wstring fixture = FixtureDirectory() + L"\\Ext\\";
    for (const wchar_t *name : {L"B_Start.ini", L"B_Stop.ini", L"B_Port.ini", L"I_php.ini", L"I_apache.ini",
                                L"I_mysql.ini"})
      CopyFileW((fixture + name).c_str(), Ext(name).c_str(), FALSE);
    // What a bundle holds before its first Start: a stop script, a probe and its answer.
    CopyFileW(Ext(L"B_Stop.ini").c_str(), Ext(L"B_Stop.bat").c_str(), FALSE);
    CopyFileW(Ext(L"B_Port.ini").c_str(), Ext(L"B_Port.bat").c_str(), FALSE);
    Put(L"T_Port.txt", "a0m0\r\n");
    SetAnswer("a0m0\r\n");
    CopyFileW((OwnDirectory() + L"\\gate.exe").c_str(), Ext(L"gate.exe").c_str(), FALSE);
    CopyFileW((OwnDirectory() + L"\\svcpanel.exe").c_str(), Path(L"\\svcpanel.exe").c_str(), FALSE);
  }

  ~Bundle() { RemoveTree(dir_); }
  Bundle(const Bundle &) = delete;
  Bundle &operator=(const Bundle &) = delete;

  std::wstring Path(const wchar_t *relative) const { return dir_ + relative; }
  std::wstring Ext(const wchar_t *name) const { return dir_ + L"\\Ext\\" + name; }
  const std::wstring &Dir() const { return dir_; }
  std::string SlashedDir() const {
    std::string slashed(dir_.begin(), dir_.end());
    for (char &c : slashed)
      if (c == '\\') c = '/';
    return slashed;
  }

  void Put(const wchar_t *name, const std::string &bytes) const { EXPECT_TRUE(WriteFileBytes(Ext(name), bytes)); }
  void SetAnswer(const std::string &answer) const { Put(L"answer.txt", answer); }
  void Arm(const wchar_t *gate) const { Put((std::wstring(L"arm-") + gate).c_str(), ""); }
  bool Holding(const wchar_t *gate) const { return Exists(Ext((std::wstring(L"waiting-") + gate).c_str())); }
  void Release(const wchar_t *gate) const { Put((std::wstring(L"release-") + gate).c_str(), ""); }
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
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
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

  // Enlarging the window moves and scales nothing.
  RECT before;
  GetWindowRect(panel.Button(kCommand2Id), &before);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT *>(&before), 2);
  SetWindowPos(form, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(WaitUntil([&] {
    RECT grown;
    GetClientRect(form, &grown);
    return grown.right > 508;
  }));
  RECT after;
  GetWindowRect(panel.Button(kCommand2Id), &after);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT *>(&after), 2);
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST(Panel, StartThenStopFollowTheStateTable) {
  Bundle bundle;
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
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

// An idle panel whose Start is held in its first wait, on the stop script.
void HoldStartInItsFirstWait(const Bundle &bundle, PanelProcess &panel) {
  WaitForIdle(bundle, panel);
  bundle.Arm(L"stop");
  panel.Click(kCommand1Id);
  ASSERT_TRUE(WaitUntil([&] { return bundle.Holding(L"stop"); }));
}

TEST(Panel, StopClickedDuringStartsFirstWaitRunsWholeNested) {
  Bundle bundle;
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
  HoldStartInItsFirstWait(bundle, panel);
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
  PanelProcess first(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
  WaitForStarted(bundle, first);
  const auto logBefore = bundle.Log();

  PanelProcess second(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
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

// The failure box names the path; while it is up the panel is as it was; after OK the panel ends.
void ExpectFailureBoxThenExit(const PanelProcess &panel, const wchar_t *path, const std::function<void()> &meanwhile) {
  const HWND box = panel.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(path), std::wstring::npos);
  meanwhile();
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD code = 0;
  ASSERT_TRUE(panel.WaitForExit(&code));
  EXPECT_NE(code, 0u);
}

TEST(Panel, MissingStopScriptReportsAndEnds) {
  Bundle bundle;
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
  WaitForIdle(bundle, panel);
  DeleteFileW(bundle.Ext(L"B_Stop.bat").c_str());
  panel.Click(kCommand1Id);
  ExpectFailureBoxThenExit(panel, L"B_Stop.bat", [&] {
    EXPECT_SHOWS(panel, kIdleStart, kStopIdle);
    EXPECT_FALSE(Exists(bundle.Ext(L"B_Start.bat")));  // nothing generated
  });
}

TEST(Panel, MissingProbeAtStartUpReportsAfterTheWindowIsShown) {
  Bundle bundle;
  DeleteFileW(bundle.Ext(L"B_Port.bat").c_str());
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
  ASSERT_NE(panel.WaitForForm(), nullptr);
  ExpectFailureBoxThenExit(panel, L"B_Port.bat", [] {});
}

TEST(Panel, ClosingDuringAWaitEndsThePanelAndTheScriptGoesOn) {
  Bundle bundle;
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
  HoldStartInItsFirstWait(bundle, panel);
  PostMessageW(panel.Form(), WM_CLOSE, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(panel.WaitForExit(&code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(bundle.Holding(L"stop"));
  bundle.Release(L"stop");
  ASSERT_TRUE(WaitUntil([&] { return bundle.Log().back() == "stopped"; }));
}

}  // namespace

namespace {

// Scripts that find their files through the current folder, not %~dp0: Wine's cmd expands
// the result of %~dp0 once more (Windows' does not), so only these show under Wine that a
// script was reached from a folder whose name holds "%".
void UseScriptsWithoutOwnPath(const Bundle &bundle) {
  bundle.Put(L"B_Port.bat", "@echo off\r\necho port>>run.log\r\ntype answer.txt>T_Port.txt\r\n");
  bundle.Put(L"B_Stop.bat", "@echo off\r\necho stop>>run.log\r\n");
  bundle.Put(L"B_Port.ini", "@echo off\r\necho port J_SerVer_Apache>>run.log\r\ntype answer.txt>T_Port.txt\r\n");
  bundle.Put(L"B_Stop.ini", "@echo off\r\necho stop J_SerVer_Apache>>run.log\r\n");
  bundle.Put(L"B_Start.ini", "@echo off\r\necho start J_SerVer_Apache>>run.log\r\n");
}

TEST(Panel, ScriptsRunFromFoldersWithCharactersCmdWouldExpand) {
  for (const wchar_t *folder : {L"50% off %OS% x ", L"!bang! ^caret & (x86) "}) {
    SCOPED_TRACE(testing::PrintToString(ButtonState{true, folder}));
    Bundle bundle(folder);
    UseScriptsWithoutOwnPath(bundle);
    bundle.SetAnswer("a0m0\r\n");
    PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
    ASSERT_NE(panel.WaitForForm(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return bundle.Log() == std::vector<std::string>{"port"}; }));
    bundle.SetAnswer("a1m1\r\n");
    panel.Click(kCommand1Id);
    ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kStarted, kStopIdle); }));
    const auto log = bundle.Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1], "stop");
    EXPECT_EQ(log[2].rfind("start J_Apache_", 0), 0u);
    EXPECT_EQ(log[3], "port " + log[2].substr(6));
    EXPECT_NE(ReadFileBytes(bundle.Path(L"\\MySQL\\my.ini")).find("basedir=\"" + bundle.SlashedDir() + "/MySQL\""),
              std::string::npos);
  }
}

TEST(Panel, StartRewritesATargetThatAnotherProgramHasOpenForReading) {
  Bundle bundle;
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
  WaitForIdle(bundle, panel);
  WriteFileBytes(bundle.Path(L"\\apache\\conf\\httpd.conf"), "working config");
  // A viewer, indexer or virus scanner: it shares read, write and delete access.
  const HANDLE reader = CreateFileW(bundle.Path(L"\\apache\\conf\\httpd.conf").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  bundle.SetAnswer("a1m1\r\n");
  panel.Click(kCommand1Id);
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kStarted, kStopIdle); }));
  CloseHandle(reader);
  EXPECT_TRUE(panel.Running());
  const std::string number = ServiceNumberIn(ReadFileBytes(bundle.Ext(L"B_Start.bat")));
  ASSERT_FALSE(number.empty());
  for (const wchar_t *script : {L"B_Stop.bat", L"B_Port.bat"})
    EXPECT_EQ(ServiceNumberIn(ReadFileBytes(bundle.Ext(script))), number);
  EXPECT_EQ(ReadFileBytes(bundle.Path(L"\\apache\\conf\\httpd.conf")),
            "ServerRoot \"" + bundle.SlashedDir() + "/apache\"\r\nListen 666\r\nDocumentRoot \"" +
                bundle.SlashedDir() + "/www\"\r\n<Directory \"" + bundle.SlashedDir() + "/www\">\r\n</Directory>\r\n");
  for (const wchar_t *config : {L"\\PHP\\php.ini", L"\\MySQL\\my.ini"})
    EXPECT_EQ(ReadFileBytes(bundle.Path(config)).find("_Path"), std::string::npos);
}

TEST(Panel, FolderOutsideTheCodePageFailsBeforeAnyFileIsTouched) {
  Bundle bundle(L"\xD55C\xAD6D \x00FC ");  // Korean and a u-umlaut: not all in code page 936
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
  ASSERT_NE(panel.WaitForForm(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return bundle.Log().size() == 1; }));
  const auto logBefore = bundle.Log();
  panel.Click(kCommand1Id);
  ExpectFailureBoxThenExit(panel, bundle.Dir().substr(bundle.Dir().find(L'\xD55C')).c_str(), [&] {
    EXPECT_EQ(bundle.Log(), logBefore);  // not even the stop script ran
    EXPECT_FALSE(Exists(bundle.Ext(L"B_Start.bat")));
    EXPECT_FALSE(Exists(bundle.Path(L"\\PHP\\php.ini")));
  });
}

TEST(Panel, ClickMessageToADisabledButtonRunsNothing) {
  Bundle bundle;
  PanelProcess panel(bundle.Path(L"\\svcpanel.exe"), bundle.Dir());
  WaitForIdle(bundle, panel);
  bundle.Arm(L"start");
  panel.Click(kCommand1Id);
  ASSERT_TRUE(WaitUntil([&] { return bundle.Holding(L"start"); }));
  EXPECT_SHOWS(panel, kStarting, kStopIdle);
  const auto logBefore = bundle.Log();
  panel.Click(kCommand1Id);  // what automation and accessibility tools send
  Sleep(1500);
  EXPECT_EQ(bundle.Log(), logBefore);
  bundle.Release(L"start");
  ASSERT_TRUE(WaitUntil([&] { return panel.Shows(kIdleStart, kStopIdle); }));
  EXPECT_EQ(bundle.Log().size(), logBefore.size() + 1);  // the probe after the one Start
}

}  // namespace
