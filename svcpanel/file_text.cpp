#include "file_text.h"

#include <algorithm>

#include "panel_error.h"
#include "win_handles.h"

namespace svcpanel {

std::string ReadWholeFile(const std::wstring &path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) ThrowLastError(L"打开文件", path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) ThrowLastError(L"读取文件", path);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!ReadFile(file.get(), &bytes[done], want, &got, nullptr)) ThrowLastError(L"读取文件", path);
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

void WriteWholeFile(const std::wstring &path, const std::string &bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) ThrowLastError(L"写入文件", path);
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr))
      ThrowLastError(L"写入文件", path);
    done += wrote;
  }
}

std::wstring DecodeAnsi(const std::string &bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
  return text;
}

std::string EncodeAnsiExactly(const std::wstring &text) {
  if (text.empty()) return {};
  // UTF-8 as the ANSI code page holds every character, and takes neither flag nor flag out.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL *usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, usedDefaultOut);
  if (length == 0) ThrowLastError(L"转换为系统代码页", text);
  if (usedDefault) throw PanelError(L"转换为系统代码页", text, ERROR_NO_UNICODE_TRANSLATION);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

LeadBytes AnsiLeadBytes() {
  LeadBytes leadBytes;
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info)) return leadBytes;
  for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2)
    for (int byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte) leadBytes.set(byte);
  return leadBytes;
}

}  // namespace svcpanel
