// Message boxes on Windows: MessageBoxA without owner window.
#include <windows.h>

#include "platform/MessageBox.h"

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon) {
    const UINT style = icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
    MessageBoxA(nullptr, text, caption, style);
}
