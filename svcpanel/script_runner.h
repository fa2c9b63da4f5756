// Running the bundle's batch scripts while the window stays live.
#pragma once

#include <windows.h>

#include <string>

namespace svcpanel {

// Runs the script under the system's cmd.exe, shown as windowStyle asks, and
// returns once its process has ended; window events (clicks included) are
// handled all the while, so an enabled button's command runs nested in here.
void RunAndWait(const std::wstring &scriptPath, short windowStyle);

// Hands every pending window event of this thread to its window. A quit
// request during a wait ends the program at once: the window is gone and
// nothing after the wait may touch it; the scripts keep running.
void PumpPendingMessages();

// One message to its window, with Tab moving between the buttons.
void DeliverMessage(MSG &msg);

}  // namespace svcpanel
