// The real bundle scripts and templates, driven through the real panel, with
// stand-in server binaries that register and run as Windows services.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "panel_driver.h"

using namespace panel_driver;

namespace {

constexpr int kServiceSeconds = 120;

std::wstring EnvironmentPath(const wchar_t *name) {
  wchar_t value[MAX_PATH] = {};
  GetEnvironmentVariableW(name, value, MAX_PATH);
  return value;
}

// Services of any Start of any bundle: J_Apache_N and J_Mysql_N.
std::vector<std::wstring> BundleServices() {
  std::vector<std::wstring> names;
  const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
  if (!manager) return names;
  DWORD needed = 0, count = 0, resume = 0;
  EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, nullptr, 0, &needed,
                        &count, &resume, nullptr);
  std::vector<BYTE> buffer(needed + 4096);
  resume = 0;
  if (EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, buffer.data(),
                            static_cast<DWORD>(buffer.size()), &needed, &count, &resume, nullptr)) {
    const auto *services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW *>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      const std::wstring name = services[i].lpServiceName;
      if (name.rfind(L"J_Apache_", 0) == 0 || name.rfind(L"J_Mysql_", 0) == 0) names.push_back(name);
    }
  }
  CloseServiceHandle(manager);
  return names;
}

// SERVICE_RUNNING and friends, or 0 when there is no such service.
DWORD ServiceState(const std::wstring &name) {
  const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  const SC_HANDLE service = manager ? OpenServiceW(manager, name.c_str(), SERVICE_QUERY_STATUS) : nullptr;
  SERVICE_STATUS status{};
  const DWORD state = service && QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
  if (service) CloseServiceHandle(service);
  if (manager) CloseServiceHandle(manager);
  return state;
}

// The service key's Environment value (REG_MULTI_SZ), its strings joined by newlines.
std::wstring ServiceEnvironment(const std::wstring &name) {
  wchar_t value[4096] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  const std::wstring key = L"SYSTEM\\CurrentControlSet\\Services\\" + name;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Environment", RRF_RT_REG_MULTI_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return {};
  std::wstring joined(value, size / sizeof(wchar_t));
  while (!joined.empty() && joined.back() == L'\0') joined.pop_back();
  for (auto &c : joined)
    if (c == L'\0') c = L'\n';
  return joined;
}

bool IsNotepad(HWND hwnd) {
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  return std::wstring(name) == L"Notepad";
}

BOOL CALLBACK CollectNotepadTitle(HWND hwnd, LPARAM titles) {
  if (IsNotepad(hwnd) && IsWindowVisible(hwnd))
    reinterpret_cast<std::vector<std::wstring> *>(titles)->push_back(WindowText(hwnd));
  return TRUE;
}

BOOL CALLBACK CloseNotepad(HWND hwnd, LPARAM) {
  if (IsNotepad(hwnd)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

// The titles of the Notepad windows open now.
std::vector<std::wstring> NotepadTitles() {
  std::vector<std::wstring> titles;
  EnumWindows(CollectNotepadTitle, reinterpret_cast<LPARAM>(&titles));
  return titles;
}

void CloseNotepads() { EnumWindows(CloseNotepad, 0); }

bool Shows(const std::vector<std::wstring> &titles, const wchar_t *file) {
  return std::any_of(titles.begin(), titles.end(),
                     [&](const std::wstring &title) { return title.find(file) != std::wstring::npos; });
}

// Whatever a failed test left behind must not hold the ports for the next one.
void RemoveBundleServices() {
  const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  for (const auto &name : BundleServices()) {
    const SC_HANDLE service = OpenServiceW(manager, name.c_str(), SERVICE_STOP | DELETE | SERVICE_QUERY_STATUS);
    if (!service) continue;
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    WaitUntil([&] { return QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED; }, 20);
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

class InstalledBundle {
 public:
  InstalledBundle() : dir_(MakeFreshDirectory(L"web bundle ")) {
    // As a fresh unzip leaves it: no data, tmp or log folders, which the start script makes.
    for (const wchar_t *sub : {L"\\Ext", L"\\apache", L"\\apache\\bin", L"\\apache\\conf", L"\\MySQL",
                               L"\\MySQL\\bin", L"\\PHP", L"\\www"})
      CreateDirectoryW((dir_ + sub).c_str(), nullptr);
    CopyFolder(EnvironmentPath(L"BUNDLE_EXT"), dir_ + L"\\Ext");
    const std::wstring bin = OwnDirectory();
    CopyFileW((bin + L"\\svcpanel.exe").c_str(), (dir_ + L"\\svcpanel.exe").c_str(), FALSE);
    CopyFileW((bin + L"\\portcheck.exe").c_str(), (dir_ + L"\\Ext\\portcheck.exe").c_str(), FALSE);
    CopyFileW((bin + L"\\standin_server.exe").c_str(), (dir_ + L"\\apache\\bin\\httpd.exe").c_str(), FALSE);
    CopyFileW((bin + L"\\standin_server.exe").c_str(), (dir_ + L"\\MySQL\\bin\\mysqld.exe").c_str(), FALSE);
  }
  ~InstalledBundle() { RemoveTree(dir_); }
  InstalledBundle(const InstalledBundle &) = delete;
  InstalledBundle &operator=(const InstalledBundle &) = delete;

  std::wstring Path(const wchar_t *relative) const { return dir_ + relative; }
  const std::wstring &Dir() const { return dir_; }
  std::string Read(const wchar_t *relative) const { return ReadFileBytes(Path(relative)); }

  // The number the latest Start drew, from the start script it generated.
  std::wstring ServiceNumber() const {
    std::smatch match;
    const std::string script = Read(L"\\Ext\\B_Start.bat");
    if (!std::regex_search(script, match, std::regex("start J_Apache_(\\d+)"))) return {};
    return std::wstring(match[1].first, match[1].second);
  }

 private:
  static void CopyFolder(const std::wstring &from, const std::wstring &to) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        CopyFileW((from + L"\\" + entry.cFileName).c_str(), (to + L"\\" + entry.cFileName).c_str(), FALSE);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }

  std::wstring dir_;
};

class BundleTest : public testing::Test {
 protected:
  void SetUp() override { RemoveBundleServices(); }
  void TearDown() override { RemoveBundleServices(); }

  // Starts the panel and waits for its first probe: the answer file replaced and no script left running.
  void Launch(PanelProcess &panel) {
    ASSERT_NE(panel.WaitForForm(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !bundle_.Read(L"\\Ext\\T_Port.txt").empty() && !Exists(bundle_.Path(L"\\Ext\\T_Port.tmp")); }));
    Sleep(500);
  }
  // Clicks and waits for the command's script to finish and the probe after it to
  // answer; the end state may equal the one before, so the files tell when it is over.
  void ClickAndWaitFor(PanelProcess &panel, int button, const ButtonState &start) {
    const std::wstring log = bundle_.Path(button == kCommand1Id ? L"\\Ext\\B_Start.log" : L"\\Ext\\B_Stop.log");
    DeleteFileW(log.c_str());
    panel.Click(button);
    ASSERT_TRUE(WaitUntil(
        [&] {
          return ReadFileBytes(log).find("] done") != std::string::npos &&
                 LastWrite(bundle_.Path(L"\\Ext\\T_Port.txt")) > LastWrite(log);
        },
        kServiceSeconds));
    ASSERT_TRUE(WaitUntil([&] { return panel.Shows(start, kStopIdle); }, 5))
        << testing::PrintToString(panel.State(kCommand1Id)) << "\n" << ReadFileBytes(log);
  }

  static ULONGLONG LastWrite(const std::wstring &path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  }

  InstalledBundle bundle_;
};

TEST_F(BundleTest, StartRunsBothServicesUnderNewNamesAndStopRemovesThem) {
  PanelProcess panel(bundle_.Path(L"\\svcpanel.exe"), bundle_.Dir());
  Launch(panel);
  EXPECT_EQ(bundle_.Read(L"\\Ext\\T_Port.txt"), "a0m0\r\n");

  ClickAndWaitFor(panel, kCommand1Id, kStarted);
  const std::wstring first = bundle_.ServiceNumber();
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(ServiceState(L"J_Apache_" + first), static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(ServiceState(L"J_Mysql_" + first), static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(bundle_.Read(L"\\Ext\\T_Port.txt"), "a1m1\r\n");
  // Each server read its port from the config the panel generated.
  const std::string number(first.begin(), first.end());
  // The data folder was initialised on the way; both services start on demand only, and
  // Apache's has PHP's folder first on its PATH.
  EXPECT_TRUE(Exists(bundle_.Path(L"\\MySQL\\data\\mysql")));
  EXPECT_NE(bundle_.Read(L"\\apache\\bin\\standin.log").find("J_Apache_" + number + " start type demand"),
            std::string::npos);
  // Windows' service manager gives a service the variables of its Environment value; Wine's
  // does not, so the stand-in's own PATH cannot show it here: the value is checked instead.
  EXPECT_EQ(ServiceEnvironment(L"J_Apache_" + first).rfind(L"PATH=" + bundle_.Dir() + L"\\PHP;", 0), 0u)
      << testing::PrintToString(ServiceEnvironment(L"J_Apache_" + first).size());
  EXPECT_NE(bundle_.Read(L"\\MySQL\\bin\\standin.log").find("J_Mysql_" + number + " start type demand"), std::string::npos);
  EXPECT_NE(bundle_.Read(L"\\apache\\bin\\standin.log").find("J_Apache_" + number + " listening on port 666"),
            std::string::npos);
  EXPECT_NE(bundle_.Read(L"\\MySQL\\bin\\standin.log").find("J_Mysql_" + number + " listening on port 667"),
            std::string::npos);

  ClickAndWaitFor(panel, kCommand2Id, kIdleStart);
  EXPECT_TRUE(BundleServices().empty());
  EXPECT_EQ(bundle_.Read(L"\\Ext\\T_Port.txt"), "a0m0\r\n");
  EXPECT_NE(bundle_.Read(L"\\MySQL\\bin\\standin.log").find("J_Mysql_" + number + " stopped"), std::string::npos);

  // A second Start uses its own names; nothing of the first is left.
  ClickAndWaitFor(panel, kCommand1Id, kStarted);
  const std::wstring second = bundle_.ServiceNumber();
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(BundleServices(), (std::vector<std::wstring>{L"J_Apache_" + second, L"J_Mysql_" + second}));
  ClickAndWaitFor(panel, kCommand2Id, kIdleStart);
  EXPECT_TRUE(BundleServices().empty());
}

TEST_F(BundleTest, ClosingThePanelLeavesTheServersRunning) {
  PanelProcess panel(bundle_.Path(L"\\svcpanel.exe"), bundle_.Dir());
  Launch(panel);
  ClickAndWaitFor(panel, kCommand1Id, kStarted);
  const std::wstring number = bundle_.ServiceNumber();
  PostMessageW(panel.Form(), WM_CLOSE, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(panel.WaitForExit(&code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ServiceState(L"J_Apache_" + number), static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(ServiceState(L"J_Mysql_" + number), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(BundleTest, PortTakenBeforeStartIsNamedInTheLog) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  const SOCKET holder = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(666);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
  ASSERT_EQ(listen(holder, 1), 0);

  PanelProcess panel(bundle_.Path(L"\\svcpanel.exe"), bundle_.Dir());
  Launch(panel);
  // Apache cannot start on a taken port, so the probe does not report both up.
  ClickAndWaitFor(panel, kCommand1Id, kIdleStart);
  const std::string log = bundle_.Read(L"\\Ext\\B_Start.log");
  EXPECT_TRUE(std::regex_search(log, std::regex("TCP \\S+ 666 .*taken"))) << log;
  EXPECT_TRUE(std::regex_search(log, std::regex("TCP \\S+ 667 .*free"))) << log;
  EXPECT_EQ(bundle_.Read(L"\\Ext\\T_Port.txt"), "a0m1\r\n");
  // The failed step is named, and the log and the help on causes and fixes are put in front of the person.
  EXPECT_TRUE(std::regex_search(log, std::regex("FAILED start-apache: .*apache\\\\logs\\\\error\\.log"))) << log;
  EXPECT_TRUE(std::regex_search(log, std::regex("ok start-mysql: J_Mysql_\\d+ is running"))) << log;
  EXPECT_TRUE(WaitUntil([] { return Shows(NotepadTitles(), L"B_Start.log") && Shows(NotepadTitles(), L"B_Help.txt"); }, 20));
  CloseNotepads();
  closesocket(holder);
  ClickAndWaitFor(panel, kCommand2Id, kIdleStart);
  EXPECT_TRUE(BundleServices().empty());
  WSACleanup();
}

}  // namespace

namespace {

TEST_F(BundleTest, DataFolderThatCannotBeInitialisedIsNamedInTheLog) {
  // MySQL initialises only an empty data folder; this one holds a stray file.
  CreateDirectoryW(bundle_.Path(L"\\MySQL\\data").c_str(), nullptr);
  WriteFileBytes(bundle_.Path(L"\\MySQL\\data\\stray.txt"), "left behind");
  PanelProcess panel(bundle_.Path(L"\\svcpanel.exe"), bundle_.Dir());
  Launch(panel);
  ClickAndWaitFor(panel, kCommand1Id, kIdleStart);
  const std::string log = bundle_.Read(L"\\Ext\\B_Start.log");
  EXPECT_NE(log.find("the data directory has files in it"), std::string::npos) << log;
  EXPECT_NE(log.find("FAILED init: MySQL\\data could not be initialised"), std::string::npos) << log;
  EXPECT_TRUE(BundleServices().empty());  // nothing installed after a failed step
  EXPECT_TRUE(WaitUntil([] { return Shows(NotepadTitles(), L"B_Start.log"); }, 20));
  CloseNotepads();
}

}  // namespace
