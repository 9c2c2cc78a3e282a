#pragma once

#include <functional>

class Chromalynx;

// Sets up the application object as the program runs it: Qt's own texts in Japanese and
// the user-interface font. Called once the application object exists.
void PrepareApplication();

// The whole program: the application object, the desktop's services, the window. Runs
// until the window closes and gives the exit status. beforeShow, when given, sees the
// loaded window just before it is first shown (the start-up benchmark watches it so).
int RunChromalynx(int &argc, char **argv, const std::function<void(Chromalynx &)> &beforeShow = {});
