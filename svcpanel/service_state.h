// Reading the probe's answer.
#pragma once

#include <string>
#include <string_view>

namespace svcpanel {

// The file's lines joined with nothing between them; a line ends at CR or CRLF.
std::string JoinProbeLines(std::string_view fileBytes);

bool IsRunningMarker(const std::wstring &probeText);

class Panel;
// Runs the probe and sets both buttons from its answer.
void RefreshServiceState(Panel &panel);

}  // namespace svcpanel
