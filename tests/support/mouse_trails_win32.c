/* Mouse trails for the tests under Wine: "mouse_trails.exe" prints the
 * current length as "trails N"; "mouse_trails.exe N" sets it first. The
 * setting lasts for the wine server's session, across processes. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv) {
    UINT trails = 0;
    if (argc > 1 && !SystemParametersInfoW(SPI_SETMOUSETRAILS, (UINT)atoi(argv[1]), NULL, 0)) {
        printf("error %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    if (!SystemParametersInfoW(SPI_GETMOUSETRAILS, 0, &trails, 0)) {
        printf("error %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    printf("trails %u\n", trails);
    return 0;
}
