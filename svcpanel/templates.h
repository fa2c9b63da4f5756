// The six generated files: which template makes which target, with which tokens.
#pragma once

#include <string>
#include <vector>

namespace svcpanel {

struct Replacement {
  std::wstring token;
  std::wstring value;
};

struct TemplateRow {
  const wchar_t *templatePath;
  const wchar_t *targetPath;
  std::vector<Replacement> replacements;
};

// The instantiation table, in order, for this Start's names and folder.
std::vector<TemplateRow> TemplateRows(const std::wstring &apacheServiceName,
                                      const std::wstring &mysqlServiceName,
                                      const std::wstring &slashedProgramDir);

// Every occurrence, left to right, case-sensitive; a written value is never rescanned.
std::wstring ReplaceAll(const std::wstring &text, const std::wstring &token,
                        const std::wstring &value);

// Copies the template over the target, then one ReplaceInFile pass per replacement.
void InstantiateTemplate(const std::wstring &templatePath, const std::wstring &targetPath,
                         const std::vector<Replacement> &replacements);
void ReplaceInFile(const std::wstring &targetPath, const std::wstring &token,
                   const std::wstring &value);

}  // namespace svcpanel
