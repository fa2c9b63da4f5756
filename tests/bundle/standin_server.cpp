// Test-only stand-in for the bundle's server binaries, copied into place as
// apache\bin\httpd.exe and MySQL\bin\mysqld.exe; it acts as the one it is named.
// It knows only what the bundle's scripts use, and behaves like the real one where
// the scripts depend on it: "httpd -v"; registering and removing itself as a Windows
// service; mysqld's one-time --initialize-insecure, which opens its error log first
// and refuses a data folder that holds anything; and, started by the service
// manager, refusing (as mysqld) an uninitialised data folder or a missing tmpdir, else
// listening on the port its config names until the service is stopped. As a service
// it logs its start type and PATH. Never shipped.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Invocation {
  enum class Action { kInstall, kRemove, kRun, kVersion, kInitialize, kUnknown } action = Action::kUnknown;
  std::wstring serviceName;
  std::wstring configPath;
};

std::wstring OwnPath() {
  wchar_t path[MAX_PATH];
  return std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
}

bool IsApache() { return OwnPath().find(L"httpd.exe") != std::wstring::npos; }

// httpd.exe -v | -k install|uninstall|runservice -n NAME [-f CONF]
Invocation ParseApache(const std::vector<std::wstring> &args) {
  Invocation call;
  if (args.size() == 1 && args[0] == L"-v") call.action = Invocation::Action::kVersion;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == L"-k") {
      const std::wstring &verb = args[i + 1];
      call.action = verb == L"install"      ? Invocation::Action::kInstall
                    : verb == L"uninstall"  ? Invocation::Action::kRemove
                    : verb == L"runservice" ? Invocation::Action::kRun
                                            : Invocation::Action::kUnknown;
    }
    if (args[i] == L"-n") call.serviceName = args[i + 1];
    if (args[i] == L"-f") call.configPath = args[i + 1];
  }
  return call;
}

// mysqld.exe --install NAME --defaults-file=CONF | --remove NAME | --defaults-file=CONF NAME
//            | --defaults-file=CONF --initialize-insecure
Invocation ParseMysql(const std::vector<std::wstring> &args) {
  Invocation call;
  call.action = Invocation::Action::kRun;
  const std::wstring defaults = L"--defaults-file=";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--initialize-insecure") {
      call.action = Invocation::Action::kInitialize;
    } else if (args[i] == L"--install" || args[i] == L"--remove") {
      call.action = args[i] == L"--install" ? Invocation::Action::kInstall : Invocation::Action::kRemove;
      if (i + 1 < args.size()) call.serviceName = args[++i];
    } else if (args[i].rfind(defaults, 0) == 0) {
      call.configPath = args[i].substr(defaults.size());
    } else if (args[i][0] != L'-') {
      call.serviceName = args[i];
    }
  }
  return call;
}

Invocation g_call;

std::wstring ServiceCommandLine(const Invocation &call) {
  const std::wstring self = L"\"" + OwnPath() + L"\"";
  if (IsApache()) return self + L" -k runservice -n \"" + call.serviceName + L"\" -f \"" + call.configPath + L"\"";
  return self + L" --defaults-file=\"" + call.configPath + L"\" " + call.serviceName;
}

void Log(const std::wstring &line) {
  const std::wstring self = OwnPath();
  const std::wstring path = self.substr(0, self.find_last_of(L'\\')) + L"\\standin.log";
  if (FILE *file = _wfopen(path.c_str(), L"a")) {
    std::fwprintf(file, L"%ls\n", line.c_str());
    std::fclose(file);
  }
}

int Install(const Invocation &call) {
  const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return 1;
  const std::wstring commandLine = ServiceCommandLine(call);
  const SC_HANDLE service =
      CreateServiceW(manager, call.serviceName.c_str(), call.serviceName.c_str(), SERVICE_ALL_ACCESS,
                     SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, commandLine.c_str(),
                     nullptr, nullptr, nullptr, nullptr, nullptr);
  const DWORD error = service ? 0 : GetLastError();
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  std::wprintf(L"%ls: service %ls %ls\n", IsApache() ? L"httpd" : L"mysqld", call.serviceName.c_str(),
               error ? L"could not be installed" : L"installed");
  return error ? 1 : 0;
}

int Remove(const Invocation &call) {
  const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return 1;
  const SC_HANDLE service = OpenServiceW(manager, call.serviceName.c_str(), DELETE);
  const bool removed = service && DeleteService(service);
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return removed ? 0 : 1;
}

// The first match of the pattern's group in the config: all of httpd.conf, or my.ini's [mysqld].
std::string ConfigValue(const std::wstring &configPath, const std::regex &pattern) {
  std::ifstream file(configPath.c_str());
  bool inServerSection = IsApache();
  std::string line;
  std::smatch match;
  while (std::getline(file, line)) {
    if (!IsApache() && line.rfind('[', 0) == 0) inServerSection = line.rfind("[mysqld]", 0) == 0;
    if (inServerSection && std::regex_search(line, match, pattern)) return match[1];
  }
  return {};
}

// A my.ini setting such as datadir="D:/Web/MySQL/data", as a Windows path.
std::wstring MysqlPath(const std::wstring &configPath, const char *key) {
  const std::string value = ConfigValue(configPath, std::regex(std::string(R"(^\s*)") + key + R"(\s*=\s*"?([^"\r]*))"));
  std::wstring path(value.begin(), value.end());
  for (auto &c : path)
    if (c == L'/') c = L'\\';
  return path;
}

// The port the config asks for: Apache's "Listen N", MySQL's "port=N" in [mysqld].
unsigned short ConfiguredPort(const std::wstring &configPath) {
  const std::string port = ConfigValue(configPath, IsApache() ? std::regex(R"(^\s*Listen\s+(?:[\d.]+:)?(\d+))")
                                                              : std::regex(R"(^\s*port\s*=\s*(\d+))"));
  return port.empty() ? 0 : static_cast<unsigned short>(std::stoi(port));
}

bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool FolderHoldsAnything(const std::wstring &folder) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool any = false;
  do {
    const std::wstring name = entry.cFileName;
    any = any || (name != L"." && name != L"..");
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return any;
}

// Like mysqld --initialize-insecure: the error log is opened first, then a data folder
// that holds anything is refused; else the system schema is made.
int Initialize(const Invocation &call) {
  const std::wstring errorLog = MysqlPath(call.configPath, "log-error");
  const std::wstring dataDir = MysqlPath(call.configPath, "datadir");
  if (!errorLog.empty())
    if (FILE *log = _wfopen(errorLog.c_str(), L"a")) std::fclose(log);
  if (FolderHoldsAnything(dataDir)) {
    std::wprintf(L"mysqld: [ERROR] --initialize specified but the data directory has files in it. Aborting.\n");
    return 1;
  }
  CreateDirectoryW(dataDir.c_str(), nullptr);
  const bool made = CreateDirectoryW((dataDir + L"\\mysql").c_str(), nullptr) != FALSE;
  std::wprintf(L"mysqld: %ls\n", made ? L"data folder initialised, root@localhost with no password" : L"could not initialise");
  Log(L"initialised " + dataDir);
  return made ? 0 : 1;
}

// The start type the service manager reads at boot: the service key's Start value.
std::wstring StartType(const std::wstring &serviceName) {
  DWORD start = 0, size = sizeof start;
  const std::wstring key = L"SYSTEM\\CurrentControlSet\\Services\\" + serviceName;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Start", RRF_RT_REG_DWORD, nullptr, &start, &size) != ERROR_SUCCESS)
    return L"unknown";
  return start == SERVICE_DEMAND_START ? L"demand" : start == SERVICE_AUTO_START ? L"auto" : L"other";
}

// Why the server would not start, like the real one, or empty.
std::wstring RefusalToRun() {
  if (IsApache()) return {};
  const std::wstring dataDir = MysqlPath(g_call.configPath, "datadir");
  if (!Exists(dataDir + L"\\mysql")) return L"data folder not initialised: " + dataDir;
  const std::wstring tmpDir = MysqlPath(g_call.configPath, "tmpdir");
  if (!tmpDir.empty() && !Exists(tmpDir)) return L"tmpdir does not exist: " + tmpDir;
  return {};
}

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopEvent = nullptr;

void Report(DWORD state, DWORD exitCode = NO_ERROR) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  status.dwWin32ExitCode = exitCode;
  status.dwWaitHint = 3000;
  SetServiceStatus(g_statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void *, void *) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING);
    SetEvent(g_stopEvent);
  }
  return NO_ERROR;
}

SOCKET Listen(unsigned short port) {
  const SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  BOOL exclusive = TRUE;
  setsockopt(server, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char *>(&exclusive), sizeof exclusive);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(server, reinterpret_cast<sockaddr *>(&address), sizeof address) == SOCKET_ERROR ||
      listen(server, SOMAXCONN) == SOCKET_ERROR) {
    closesocket(server);
    return INVALID_SOCKET;
  }
  return server;
}

void WINAPI ServiceMain(DWORD, wchar_t **) {
  g_statusHandle = RegisterServiceCtrlHandlerExW(g_call.serviceName.c_str(), Control, nullptr);
  g_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Report(SERVICE_START_PENDING);
  wchar_t path[32767] = {};
  GetEnvironmentVariableW(L"PATH", path, 32767);
  Log(g_call.serviceName + L" start type " + StartType(g_call.serviceName) + L", PATH=" + path);
  const std::wstring refusal = RefusalToRun();
  if (!refusal.empty()) {
    Log(g_call.serviceName + L" refused to run: " + refusal);
    Report(SERVICE_STOPPED, ERROR_SERVICE_SPECIFIC_ERROR);
    return;
  }
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  const unsigned short port = ConfiguredPort(g_call.configPath);
  const SOCKET server = port ? Listen(port) : INVALID_SOCKET;
  if (server == INVALID_SOCKET) {
    // Like the real servers: no port, no service.
    Log(g_call.serviceName + L" could not listen on port " + std::to_wstring(port));
    Report(SERVICE_STOPPED, ERROR_SERVICE_SPECIFIC_ERROR);
    return;
  }
  Log(g_call.serviceName + L" listening on port " + std::to_wstring(port));
  Report(SERVICE_RUNNING);
  WaitForSingleObject(g_stopEvent, INFINITE);
  closesocket(server);
  Log(g_call.serviceName + L" stopped");
  Report(SERVICE_STOPPED);
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  g_call = IsApache() ? ParseApache(args) : ParseMysql(args);
  switch (g_call.action) {
    case Invocation::Action::kInstall:
      return Install(g_call);
    case Invocation::Action::kRemove:
      return Remove(g_call);
    case Invocation::Action::kVersion:
      std::wprintf(L"Server version: Apache/2.4 (stand-in)\n");
      return 0;
    case Invocation::Action::kInitialize:
      return Initialize(g_call);
    case Invocation::Action::kRun: {
      SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t *>(L""), ServiceMain}, {nullptr, nullptr}};
      return StartServiceCtrlDispatcherW(table) ? 0 : 1;
    }
    default:
      std::fwprintf(stderr, L"unsupported command line\n");
      return 2;
  }
}
