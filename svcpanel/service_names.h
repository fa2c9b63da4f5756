// The numbers and names a Start draws, and the folder it writes into the configs.
#pragma once

#include <string>

namespace svcpanel {

// floor(r * 100 + 1) in single precision, for 0 <= r < 1: 1 to 100.
int ServiceSuffixFromDraw(float r);

struct ServiceNames {
  std::string ApacheServiceName;
  std::string MysqlServiceName;
};
ServiceNames ServiceNamesFor(int serviceSuffix);

// Every backslash turned into a forward slash.
std::wstring SlashedDir(const std::wstring &programDir);

// The folder part of a module path; a drive root keeps its backslash.
std::wstring DirectoryOf(const std::wstring &modulePath);

}  // namespace svcpanel
