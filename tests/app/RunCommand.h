#pragma once
// Runs a shell command line (the real program, as a user would start it) and collects what
// it printed and how it ended.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace apptest {

struct CommandResult {
    int exitCode;  // -1 when it did not exit normally
    std::string output;
};

inline CommandResult RunCommand(const std::string& commandLine) {
    FILE* pipe = popen(commandLine.c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

}  // namespace apptest
