// Pure part of the state refresh: what the probe's file says.
#include "bundle.h"
#include "service_state.h"

namespace svcpanel {

std::string JoinProbeLines(std::string_view fileBytes) {
  std::string probeText;
  probeText.reserve(fileBytes.size());
  for (std::size_t i = 0; i < fileBytes.size(); ++i) {
    if (fileBytes[i] == '\r') {
      if (i + 1 < fileBytes.size() && fileBytes[i + 1] == '\n') ++i;
      continue;
    }
    probeText += fileBytes[i];
  }
  return probeText;
}

bool IsRunningMarker(const std::wstring &probeText) { return probeText == kRunningMarker; }

}  // namespace svcpanel
