#include "service_names.h"

#include <algorithm>
#include <cmath>

#include "bundle.h"

namespace svcpanel {

// Each step is rounded to single precision by storing it: on x86 without SSE the x87
// would otherwise carry extra bits from one step to the next.
int ServiceSuffixFromDraw(float r) {
  const volatile float scaled = r * 100.0f;
  const volatile float suffix = scaled + 1.0f;
  return static_cast<int>(std::floor(suffix));
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
