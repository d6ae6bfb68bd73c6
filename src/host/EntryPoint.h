// The entry point's work, shared by WinMain and main.
#pragma once

// Whether a start in preview or with no switch takes the single-instance
// guard. A screensaver daemon that hands over its windows (xscreensaver)
// runs one instance per monitor at once, so those starts skip it.
enum class InstanceGuard { Apply, Skip };

// Parses the command-line tail, applies the single-instance guard, then runs
// the About window or the clock. Returns the exit code, 0 on every path.
// instance and showCommand are WinMain's, handed on to the About window.
int RunScreensaver(const char* commandTail, void* instance, int showCommand,
                   InstanceGuard guard = InstanceGuard::Apply);
