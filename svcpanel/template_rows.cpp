// Pure part of template instantiation: the table and the replacement.
#include "bundle.h"
#include "templates.h"

namespace svcpanel {

std::vector<TemplateRow> TemplateRows(const std::wstring &apacheServiceName,
                                      const std::wstring &mysqlServiceName,
                                      const std::wstring &slashedProgramDir) {
  const std::vector<Replacement> serviceNames = {{kApacheServiceToken, apacheServiceName},
                                                 {kMysqlServiceToken, mysqlServiceName}};
  return {
      {kStartTemplate, kStartScript, serviceNames},
      {kStopTemplate, kStopScript, serviceNames},
      {kPortTemplate, kPortScript, serviceNames},
      {kPhpTemplate, kPhpConfig, {{kPhpPathToken, slashedProgramDir}}},
      {kApacheTemplate, kApacheConfig, {{kApachePathToken, slashedProgramDir}}},
      {kMysqlTemplate, kMysqlConfig, {{kMysqlPathToken, slashedProgramDir}}},
  };
}

std::wstring ReplaceAll(const std::wstring &text, const std::wstring &token,
                        const std::wstring &value) {
  if (token.empty()) return text;
  std::wstring result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(token); at != std::wstring::npos; at = text.find(token, from)) {
    result.append(text, from, at - from).append(value);
    from = at + token.size();
  }
  return result.append(text, from, std::wstring::npos);
}

}  // namespace svcpanel
