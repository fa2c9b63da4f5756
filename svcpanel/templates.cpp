// The file side of template instantiation.
#include "templates.h"

#include "file_text.h"
#include "panel_error.h"

namespace svcpanel {

void InstantiateTemplate(const std::wstring &templatePath, const std::wstring &targetPath,
                         const std::vector<Replacement> &replacements) {
  if (!CopyFileW(templatePath.c_str(), targetPath.c_str(), FALSE))
    ThrowLastError(L"复制模板", templatePath + L" -> " + targetPath);
  // A read-only template (say, from a CD or a locked-down zip) must still give a
  // target the passes below can rewrite.
  const DWORD attributes = GetFileAttributesW(targetPath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(targetPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  for (const auto &replacement : replacements)
    ReplaceInFile(targetPath, replacement.token, replacement.value);
}

// On the file's own bytes, so a target equals its template byte for byte but for the
// tokens, also where the template holds bytes the code page cannot decode; no line break is added.
void ReplaceInFile(const std::wstring &targetPath, const std::string &token, const std::string &value) {
  const std::string bytes = ReadWholeFile(targetPath);
  WriteWholeFile(targetPath, ReplaceAll(bytes, token, value, AnsiLeadBytes()));
}

}  // namespace svcpanel
