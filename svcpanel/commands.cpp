#include "commands.h"

#include <random>

#include "bundle.h"
#include "file_text.h"
#include "panel.h"
#include "panel_error.h"
#include "script_runner.h"
#include "service_names.h"
#include "service_state.h"
#include "templates.h"

namespace svcpanel {
namespace {

// A generator reseeded from the time of day, drawing 0 <= r < 1 in single precision.
float DrawFromTimeOfDay() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const unsigned seed = ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u +
                        now.wMilliseconds;
  std::mt19937 generator(seed);
  // 24 random bits are exactly representable, so r never rounds up to 1.
  return static_cast<float>(generator() >> 8) / 16777216.0f;
}

}  // namespace

void StartCommand(Panel &panel) {
  const std::wstring SlashedProgramDir = SlashedDir(panel.ProgramDir());
  // A folder the code page cannot hold would reach the configs as "?": fail before anything runs.
  const std::string slashedProgramDirBytes = EncodeAnsiExactly(SlashedProgramDir);
  RunAndWait(panel.ProgramDir() + kStopScript, panel.ScriptWindowStyle());

  const int ServiceSuffix = ServiceSuffixFromDraw(DrawFromTimeOfDay());
  const ServiceNames names = ServiceNamesFor(ServiceSuffix);
  for (const TemplateRow &row :
       TemplateRows(names.ApacheServiceName, names.MysqlServiceName, slashedProgramDirBytes))
    InstantiateTemplate(SlashedProgramDir + row.templatePath, SlashedProgramDir + row.targetPath,
                        row.replacements);

  panel.SetCommand1(false, kStartingCaption);
  RunAndWait(panel.ProgramDir() + kStartScript, panel.ScriptWindowStyle());
  RefreshServiceState(panel);
}

void StopCommand(Panel &panel) {
  panel.SetCommand2(false, kStoppingCaption);
  RunAndWait(panel.ProgramDir() + kStopScript, panel.ScriptWindowStyle());
  RefreshServiceState(panel);
}

void RunGuarded(Panel &panel, void (*command)(Panel &)) {
  try {
    command(panel);
  } catch (const std::exception &failure) {
    ReportFailureAndExit(failure);
  }
}

}  // namespace svcpanel
