// libFuzzer target for the command-line parse: any text as the tail.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string tail(reinterpret_cast<const char*>(data), size);  // stops at a NUL
    CCommandLine commandLine(tail.c_str());
    if (commandLine.mode < MODE_PREVIEW || commandLine.mode > MODE_NONE) std::abort();
    if (commandLine.mode == MODE_NONE && commandLine.hostWindow != 0) std::abort();
    return 0;
}
