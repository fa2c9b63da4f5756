// gate.exe NAME: a fixture script's way to let the test hold it. With Ext\arm-NAME
// present, it consumes that file and then either sleeps the milliseconds the file
// holds or, when it is empty, waits for Ext\release-NAME; Ext\waiting-NAME exists
// meanwhile. Without the arm file it returns at once.
#include <windows.h>

#include <string>

namespace {

std::wstring OwnDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, length);
  return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

bool Exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadSmallFile(const std::wstring &path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char buffer[64] = {};
  DWORD got = 0;
  ReadFile(file, buffer, sizeof buffer - 1, &got, nullptr);
  CloseHandle(file);
  return std::string(buffer, got);
}

void Touch(const std::wstring &path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc < 2) return 2;
  const std::wstring dir = OwnDirectory();
  const std::wstring name = argv[1];
  const std::wstring arm = dir + L"arm-" + name;
  if (!Exists(arm)) return 0;
  const std::string sleep_ms = ReadSmallFile(arm);
  DeleteFileW(arm.c_str());
  const std::wstring waiting = dir + L"waiting-" + name;
  Touch(waiting);
  if (!sleep_ms.empty()) {
    Sleep(static_cast<DWORD>(std::stoul(sleep_ms)));
  } else {
    const std::wstring release = dir + L"release-" + name;
    for (int i = 0; i < 2400 && !Exists(release); ++i) Sleep(50);
    DeleteFileW(release.c_str());
  }
  DeleteFileW(waiting.c_str());
  return 0;
}
