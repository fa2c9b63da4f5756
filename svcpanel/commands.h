// What the two buttons run.
#pragma once

namespace svcpanel {

class Panel;

// Stops the previous Start's servers, draws new service names, regenerates the
// six files for this folder, runs the start script and refreshes the buttons.
void StartCommand(Panel &panel);
// Runs the stop script and refreshes the buttons.
void StopCommand(Panel &panel);

// The one place failures stop: a message box naming what failed, then the program ends.
void RunGuarded(Panel &panel, void (*command)(Panel &));

}  // namespace svcpanel
