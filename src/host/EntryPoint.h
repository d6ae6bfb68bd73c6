// The entry point's work, shared by WinMain and main.
#pragma once

// Parses the command-line tail, applies the single-instance guard, then runs
// the About window or the clock. Returns the exit code, 0 on every path.
// instance and showCommand are WinMain's, handed on to the About window.
int RunScreensaver(const char* commandTail, void* instance, int showCommand);
