// svcpanel: the bundle's start/stop panel.
#include <windows.h>

#include "panel.h"
#include "panel_error.h"
#include "script_runner.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    svcpanel::Panel panel(instance);
    if (!panel.Load()) return 0;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) svcpanel::DeliverMessage(msg);
    return static_cast<int>(msg.wParam);
  } catch (const std::exception &failure) {
    svcpanel::ReportFailureAndExit(failure);
  }
}
