// Opening the web address on Linux: xdg-open is found on PATH and run with
// the address as its one argument, without a shell; without it nothing runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "about/OpenAddress.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;

void WriteScript(const fs::path& path, const std::string& body, bool executable = true) {
    std::ofstream(path) << "#!/bin/sh\n" << body;
    chmod(path.c_str(), executable ? 0755 : 0644);
}

std::string ReadWhenPresent(const fs::path& path, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        if (!s.empty() && s.back() == '\n') return s;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

// PATH for the life of the object.
class PathOverride {
public:
    explicit PathOverride(const std::string& value) {
        const char* old = std::getenv("PATH");
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        setenv("PATH", value.c_str(), 1);
    }
    ~PathOverride() {
        if (hadOld_) {
            setenv("PATH", old_.c_str(), 1);
        } else {
            unsetenv("PATH");
        }
    }

private:
    bool hadOld_ = false;
    std::string old_;
};

TEST(FindProgramOnPath, TakesTheFirstExecutableFileInPathOrder) {
    ScratchDir scratch;
    const fs::path here = fs::current_path();
    fs::create_directories(here / "a" / "tool");  // a folder of that name does not count
    fs::create_directories(here / "b");
    fs::create_directories(here / "c");
    fs::create_directories(here / "d");
    WriteScript(here / "b" / "tool", "", false);  // not executable
    WriteScript(here / "c" / "tool", "");
    WriteScript(here / "d" / "tool", "");
    const std::string a = (here / "a").string(), b = (here / "b").string();
    const std::string c = (here / "c").string(), d = (here / "d").string();

    EXPECT_EQ(FindProgramOnPath("tool", a + ":" + b + ":" + c + ":" + d), c + "/tool");
    EXPECT_EQ(FindProgramOnPath("tool", d + ":" + c), d + "/tool");
    EXPECT_EQ(FindProgramOnPath("tool", a + ":" + b), "");
    EXPECT_EQ(FindProgramOnPath("other", c + ":" + d), "");
    EXPECT_EQ(FindProgramOnPath("tool", ""), "");  // the current folder has no tool
    // An empty entry, at either end or inside, is the current folder.
    fs::current_path(here / "c");
    EXPECT_EQ(FindProgramOnPath("tool", a + ":"), "./tool");
    EXPECT_EQ(FindProgramOnPath("tool", ":" + d), "./tool");
    EXPECT_EQ(FindProgramOnPath("tool", a + "::" + d), "./tool");
    fs::current_path(here);
}

TEST(OpenWebAddress, RunsXdgOpenWithTheAddressAndDoesNotWait) {
    ScratchDir scratch;
    const fs::path here = fs::current_path();
    fs::create_directories(here / "bin");
    const fs::path record = here / "opened.txt";
    // The fake records its arguments one a line, then lingers: the caller
    // must not wait for it.
    WriteScript(here / "bin" / "xdg-open",
                "exec </dev/null >/dev/null 2>&1\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" +
                    record.string() + "'; done\nsleep 3\n");
    PathOverride path((here / "bin").string() + ":/usr/bin:/bin");

    const auto start = std::chrono::steady_clock::now();
    // Characters a shell would act on reach the program as they are.
    const char* address = "https://www.example.test/a b?x=1&y=$HOME;`id`";
    EXPECT_TRUE(OpenWebAddress(address));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(ReadWhenPresent(record, 5000), std::string(address) + "\n");
}

TEST(OpenWebAddress, DoesNothingWithoutXdgOpen) {
    ScratchDir scratch;
    fs::create_directories("empty");
    PathOverride path((fs::current_path() / "empty").string());
    EXPECT_FALSE(OpenWebAddress("https://www.example.test/"));
}

}  // namespace
