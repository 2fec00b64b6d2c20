// What the program entry sets up before its windows exist.
#pragma once

namespace app {

// Names the application with the program's title, "Albavox v2.0" (also for the error report), gives every window the
// program's lettering and lets the analysis keep the windows alive while it reads a long file.
// Needs the QApplication to exist.
void SetUpApplication();

}  // namespace app
