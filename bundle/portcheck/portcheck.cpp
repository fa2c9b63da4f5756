// portcheck.exe PORT...: says, for each TCP port, whether another program holds
// it and which one, so B_Start.log shows why a server could not start.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// A port is free when we can bind it exclusively on every interface.
bool IsPortTaken(unsigned short port) {
  const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (probe == INVALID_SOCKET) return false;
  BOOL exclusive = TRUE;
  setsockopt(probe, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char *>(&exclusive), sizeof exclusive);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  const bool taken = bind(probe, reinterpret_cast<sockaddr *>(&address), sizeof address) == SOCKET_ERROR;
  closesocket(probe);
  return taken;
}

DWORD ListenerProcess(unsigned short port) {
  ULONG size = 0;
  GetExtendedTcpTable(nullptr, &size, FALSE, AF_INET, TCP_TABLE_OWNER_PID_LISTENER, 0);
  std::vector<unsigned char> buffer(size + 1024);
  size = static_cast<ULONG>(buffer.size());
  if (GetExtendedTcpTable(buffer.data(), &size, FALSE, AF_INET, TCP_TABLE_OWNER_PID_LISTENER, 0) != NO_ERROR)
    return 0;
  const auto *table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID *>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i)
    if (ntohs(static_cast<unsigned short>(table->table[i].dwLocalPort)) == port) return table->table[i].dwOwningPid;
  return 0;
}

std::wstring ProcessName(DWORD pid) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  std::wstring name;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID == pid) name = entry.szExeFile;
  CloseHandle(snapshot);
  return name;
}

// The log is a text file in the system's code page, like the rest of the bundle's.
void PrintLine(const std::wstring &line) {
  const std::wstring text = line + L"\r\n";
  const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                      nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Describe(unsigned short port) {
  const std::wstring head = L"TCP 端口 " + std::to_wstring(port);
  if (!IsPortTaken(port)) return head + L" 空闲 (free)";
  const DWORD pid = ListenerProcess(port);
  if (pid == 0) return head + L" 已被其他程序占用 (taken; owner not found)";
  const std::wstring name = ProcessName(pid);
  return head + L" 已被占用 (taken): PID " + std::to_wstring(pid) + L" " + (name.empty() ? L"?" : name);
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
  int taken = 0;
  for (int i = 1; i < argc; ++i) {
    const unsigned long port = std::wcstoul(argv[i], nullptr, 10);
    if (port == 0 || port > 65535) continue;
    const std::wstring line = Describe(static_cast<unsigned short>(port));
    PrintLine(line);
    if (line.find(L"(taken") != std::wstring::npos) ++taken;
  }
  WSACleanup();
  return taken;
}
