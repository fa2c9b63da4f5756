// The file and window side of the state refresh.
#include "service_state.h"

#include "bundle.h"
#include "file_text.h"
#include "panel.h"
#include "script_runner.h"

namespace svcpanel {

void RefreshServiceState(Panel &panel) {
  RunAndWait(panel.ProgramDir() + kPortScript, panel.ScriptWindowStyle());
  panel.SetCommand2(true, kStopCaption);
  const std::wstring probeText =
      DecodeAnsi(JoinProbeLines(ReadWholeFile(panel.ProgramDir() + kProbeResult)));
  if (IsRunningMarker(probeText))
    panel.SetCommand1(false, kStartedCaption);
  else
    panel.SetCommand1(true, kStartIdleCaption);
}

}  // namespace svcpanel
