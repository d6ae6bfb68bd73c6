// libFuzzer target for the command-line parse: any text as the tail, and
// the same bytes cut at NULs as xscreensaver-style arguments (the first
// piece as XSCREENSAVER_WINDOW) through the translation into switches.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "host/HackArguments.h"

namespace {

void CheckRecord(const CCommandLine& commandLine) {
    if (commandLine.mode < MODE_PREVIEW || commandLine.mode > MODE_NONE) std::abort();
    if (commandLine.mode == MODE_NONE && commandLine.hostWindow != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckRecord(CCommandLine(bytes.c_str()));  // the tail stops at a NUL

    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1) {
        pieces.push_back(bytes.substr(start, end - start));
    }
    pieces.push_back(bytes.substr(start));
    std::vector<const char*> arguments;
    for (std::size_t i = 1; i < pieces.size(); ++i) arguments.push_back(pieces[i].c_str());
    const HackLaunch launch = TranslateHackArguments(static_cast<int>(arguments.size()),
                                                     arguments.data(), pieces[0].c_str());
    CheckRecord(CCommandLine(launch.commandTail.c_str()));
    return 0;
}
