// What the program entry sets up before its windows exist.
#pragma once

#include <functional>

class QWidget;

namespace app {

// Names the application with the program's title, "Albavox v2.0" (also for the error report), gives every window the
// program's lettering and lets the analysis keep the windows alive while it reads a long file.
// Needs the QApplication to exist.
void SetUpApplication();

// Runs `work` once `window` has painted its first frame, so that what the start can do later does
// not hold that frame up. Nothing runs when the window goes before.
void AfterFirstFrame(QWidget& window, std::function<void()> work);

}  // namespace app
