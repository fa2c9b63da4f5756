#include "service_names.h"

#include <algorithm>
#include <cmath>

#include "bundle.h"

namespace svcpanel {

int ServiceSuffixFromDraw(float r) {
  const float scaled = r * 100.0f + 1.0f;
  return static_cast<int>(std::floor(scaled));
}

ServiceNames ServiceNamesFor(int serviceSuffix) {
  const std::string number = std::to_string(serviceSuffix);
  return {kApacheServicePrefix + number, kMysqlServicePrefix + number};
}

std::wstring SlashedDir(const std::wstring &programDir) {
  std::wstring slashed = programDir;
  std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
  return slashed;
}

std::wstring DirectoryOf(const std::wstring &modulePath) {
  const std::size_t slash = modulePath.find_last_of(L'\\');
  if (slash == std::wstring::npos) return modulePath;
  std::wstring dir = modulePath.substr(0, slash);
  if (dir.size() == 2 && dir[1] == L':') dir += L'\\';
  return dir;
}

}  // namespace svcpanel
