/* The console display state for the tests under Wine, which never sends it:
 * "display_power.exe STATE" sends every top-level window titled "Tolvane
 * Screensaver" what Windows sends a window registered for
 * GUID_CONSOLE_DISPLAY_STATE: WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE and
 * a POWERBROADCAST_SETTING whose data is STATE (0 off, 1 on, 2 dimmed). The
 * setting is written into the window's own process (VirtualAllocEx,
 * WriteProcessMemory), so the pointer the message carries is valid where it
 * is read. Prints "sent N" for the N windows that answered. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static const GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

struct Delivery {
    DWORD state;
    int sent;
};

static BOOL CALLBACK Deliver(HWND window, LPARAM parameter) {
    struct Delivery* delivery = (struct Delivery*)parameter;
    wchar_t title[64];
    if (GetWindowTextW(window, title, 64) == 0 || wcscmp(title, L"Tolvane Screensaver") != 0) {
        return TRUE;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == NULL) return TRUE;
    BYTE setting[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)] = {0};
    POWERBROADCAST_SETTING* local = (POWERBROADCAST_SETTING*)setting;
    local->PowerSetting = kConsoleDisplayState;
    local->DataLength = sizeof(DWORD);
    CopyMemory(local->Data, &delivery->state, sizeof(DWORD));
    void* remote = VirtualAllocEx(process, NULL, sizeof setting, MEM_COMMIT, PAGE_READWRITE);
    if (remote != NULL && WriteProcessMemory(process, remote, setting, sizeof setting, NULL)) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, (LPARAM)remote,
                                SMTO_ABORTIFHUNG, 5000, &result)) {
            ++delivery->sent;
        }
    }
    if (remote != NULL) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        printf("usage: display_power.exe STATE\n");
        return 2;
    }
    struct Delivery delivery = {(DWORD)atoi(argv[1]), 0};
    EnumWindows(Deliver, (LPARAM)&delivery);
    printf("sent %d\n", delivery.sent);
    return delivery.sent > 0 ? 0 : 1;
}
