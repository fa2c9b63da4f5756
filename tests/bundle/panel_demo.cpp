// panel_demo.exe BUNDLE_DIR [HOLD_FILE]: starts the bundle's svcpanel.exe, clicks
// Start and then Stop, and prints every button state it sees on the way. With
// HOLD_FILE it writes "started"/"stopped" there and waits for the file to be
// removed before going on, so a screenshot can be taken at each end state.
#include <windows.h>

#include <cstdio>
#include <string>

#include "panel_driver.h"

using namespace panel_driver;

namespace {

std::string Utf8(const std::wstring &text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
  bytes.resize(bytes.size() - 1);
  return bytes;
}

std::string Describe(const ButtonState &state) {
  return (state.enabled ? "enabled  \"" : "disabled \"") + Utf8(state.caption) + "\"";
}

// Prints each new pair of button states until the panel shows the wanted Start state.
bool FollowUntil(const PanelProcess &panel, const ButtonState &wanted, int seconds) {
  ButtonState lastStart{false, L"?"}, lastStop{false, L"?"};
  return WaitUntil(
      [&] {
        const ButtonState start = panel.State(kCommand1Id), stop = panel.State(kCommand2Id);
        if (start != lastStart || stop != lastStop) {
          std::printf("  Start: %s   Stop: %s\n", Describe(start).c_str(), Describe(stop).c_str());
          std::fflush(stdout);
          lastStart = start;
          lastStop = stop;
        }
        return start == wanted && stop == kStopIdle;
      },
      seconds);
}

void Hold(const wchar_t *holdFile, const char *stage) {
  if (!holdFile) return;
  WriteFileBytes(holdFile, stage);
  WaitUntil([&] { return !Exists(holdFile); }, 120);
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: panel_demo BUNDLE_DIR [HOLD_FILE]\n");
    return 2;
  }
  const std::wstring bundle = argv[1];
  const wchar_t *holdFile = argc > 2 ? argv[2] : nullptr;
  PanelProcess panel(bundle + L"\\svcpanel.exe", bundle);
  if (!panel.Started() || !panel.WaitForForm()) {
    std::fprintf(stderr, "panel_demo: the panel did not come up\n");
    return 1;
  }
  std::printf("window: %s\n", Utf8(WindowText(panel.Form())).c_str());
  std::printf("first refresh:\n");
  if (!FollowUntil(panel, kIdleStart, 30)) return 1;
  Sleep(1000);

  std::printf("click Start:\n");
  panel.Click(kCommand1Id);
  const bool started = FollowUntil(panel, kStarted, 120);
  Hold(holdFile, "started");
  std::printf("click Stop:\n");
  panel.Click(kCommand2Id);
  const bool stopped = FollowUntil(panel, kIdleStart, 120);
  Hold(holdFile, "stopped");
  std::printf("%s\n", started && stopped ? "Start and Stop went through." : "The panel did not reach the expected state.");
  return started && stopped ? 0 : 1;
}
