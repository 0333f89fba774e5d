// Test helpers: runs a built program with arguments and returns its exit
// status and what it wrote on standard output and error; a folder of the
// test's own for its files.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
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

// A fresh folder for a test's files (made from "/tmp/PREFIX-XXXXXX"),
// emptied and removed again at the end.
inline std::string MakeTestFolder(const char* prefix) {
    std::string tmpl = std::string("/tmp/") + prefix + "-XXXXXX";
    return mkdtemp(tmpl.data());
}

inline void RemoveTestFolder(const std::string& dir) {
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") unlink((dir + "/" + n).c_str());
        }
        closedir(d);
    }
    rmdir(dir.c_str());
}

}  // namespace kvt::test
