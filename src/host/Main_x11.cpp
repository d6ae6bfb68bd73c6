// The Linux entry point: the arguments, joined by single spaces, are the
// command-line tail that Windows hands to WinMain.
#include <string>

#include "host/EntryPoint.h"

int main(int argc, char** argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    return RunScreensaver(tail.c_str(), nullptr, 0);
}
