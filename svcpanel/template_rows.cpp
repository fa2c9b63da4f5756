// Pure part of template instantiation: the table and the replacement.
#include "bundle.h"
#include "templates.h"

namespace svcpanel {

std::vector<TemplateRow> TemplateRows(const std::string &apacheServiceName,
                                      const std::string &mysqlServiceName,
                                      const std::string &slashedProgramDir) {
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

std::string ReplaceAll(std::string_view text, std::string_view token, std::string_view value,
                       const LeadBytes &leadBytes) {
  std::string result;
  result.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    if (!token.empty() && text.compare(at, token.size(), token) == 0) {
      result.append(value);
      at += token.size();
      continue;
    }
    const bool doubleByte = leadBytes[static_cast<unsigned char>(text[at])] && at + 1 < text.size();
    const std::size_t width = doubleByte ? 2 : 1;
    result.append(text, at, width);
    at += width;
  }
  return result;
}

}  // namespace svcpanel
