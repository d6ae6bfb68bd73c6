// Message boxes: the program's only user-visible error channel.
#pragma once

enum class MessageIcon {
    Information,  // MB_ICONINFORMATION: start-up, asset and library errors
    Exclamation,  // MB_ICONEXCLAMATION: About window failures
};

// Shows a modal box without owner window and returns when it is dismissed.
// Windows: MessageBoxA. Linux: a small X11 box of our own titled with the
// caption, with an OK button; the text also goes to standard error, and
// without a display only there.
void ShowMessageBox(const char* text, const char* caption, MessageIcon icon);
