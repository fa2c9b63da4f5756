// The six generated files: which template makes which target, with which tokens.
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace svcpanel {

// Tokens and values as bytes of the ANSI code page, as they stand in the files.
struct Replacement {
  std::string token;
  std::string value;
};

struct TemplateRow {
  const wchar_t *templatePath;
  const wchar_t *targetPath;
  std::vector<Replacement> replacements;
};

// The instantiation table, in order, for this Start's names and folder (folder in ANSI bytes).
std::vector<TemplateRow> TemplateRows(const std::string &apacheServiceName,
                                      const std::string &mysqlServiceName,
                                      const std::string &slashedProgramDir);

// The bytes that open a double-byte character in the ANSI code page.
using LeadBytes = std::bitset<256>;

// Every occurrence, left to right, case-sensitive; a written value is never rescanned.
// Works on the bytes and steps over double-byte characters, so a token is never matched
// across one and every other byte, decodable or not, comes back as it was.
std::string ReplaceAll(std::string_view text, std::string_view token, std::string_view value,
                       const LeadBytes &leadBytes);

// Copies the template over the target, then one ReplaceInFile pass per replacement.
void InstantiateTemplate(const std::wstring &templatePath, const std::wstring &targetPath,
                         const std::vector<Replacement> &replacements);
void ReplaceInFile(const std::wstring &targetPath, const std::string &token, const std::string &value);

}  // namespace svcpanel
