// Opening a web address in the user's browser on Linux: the desktop's
// xdg-open, started in a process of its own so that the window goes on.
#pragma once

#include <string>

// The first executable file called name in the ':'-separated folder list
// path (an empty entry is the current folder, as for the shell); empty when
// there is none.
std::string FindProgramOnPath(const std::string& name, const std::string& path);

// Runs `xdg-open address` found on PATH, without a shell, detached (this
// process neither waits for it nor leaves a zombie). False when there is no
// xdg-open or no process could be started; nothing else is reported.
bool OpenWebAddress(const char* address);
