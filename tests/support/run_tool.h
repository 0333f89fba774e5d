// Test helper: runs a built program with arguments and returns its exit
// status and what it wrote on standard output and error.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/file_bytes.h"

namespace kvt::test {

struct ToolResult {
    int status = -1;  // the exit status, -1 when killed
    std::string out;
    std::string err;
};

// Standard input is empty; the output goes through files in scratchDir.
inline ToolResult RunTool(const std::string& program, std::vector<std::string> args,
                          const std::string& scratchDir) {
    const std::string out = scratchDir + "/.out";
    const std::string err = scratchDir + "/.err";
    const pid_t child = fork();
    if (child == 0) {
        dup2(open("/dev/null", O_RDONLY), 0);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ToolResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadBytes(out);
    r.err = ReadBytes(err);
    unlink(out.c_str());
    unlink(err.c_str());
    return r;
}

}  // namespace kvt::test
