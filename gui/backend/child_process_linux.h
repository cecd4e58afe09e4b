// Child processes started from the host's GUI thread without ever waiting
// for them there: started with posix_spawn, their output read through a
// non-blocking pipe, and their end collected with waitpid(WNOHANG) at the
// editor's idle passes.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::gui {

// The full path of `program` in the folders of `searchPath` (a PATH value:
// folders separated by ':'), or empty when none holds an executable file of
// that name. A program named with a '/' is taken as it is.
std::string findProgram(const std::string& program, const char* searchPath);

class ChildProcess {
public:
    // Starts argv[0] (a full path) with `argv` as its arguments, no shell in
    // between; null when it cannot be started. Its input and errors go to
    // /dev/null, its output into the pipe when `captureOutput` (else to
    // /dev/null too). It inherits none of the host's open files.
    static std::unique_ptr<ChildProcess> start(const std::vector<std::string>& argv, bool captureOutput);
    // A child still running is killed (see kill()).
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads what waits in the pipe and collects the child once it has
    // ended; answers whether it has.
    bool poll();
    bool ended() const { return pid_ < 0; }
    // The exit code of a child that exited; nullopt while it runs, when a
    // signal ended it, or when the host collected it first (some hosts
    // collect every child of theirs).
    std::optional<int> exitCode() const { return exitCode_; }
    const std::string& output() const { return output_; }
    pid_t pid() const { return startedPid_; }

    // Ends the child at once (SIGKILL) and collects it. The kernel needs a
    // moment to take a killed process down; a child not gone within a tenth
    // of a second is left to reapStrays().
    void kill();
    // Stops watching a child that may go on running (a text viewer opened
    // for the user); reapStrays() collects it once it ends.
    void release();

private:
    ChildProcess(pid_t pid, int outputPipe) : pid_(pid), startedPid_(pid), pipe_(outputPipe) {}
    void readPipe();
    void closePipe();
    void collected(std::optional<int> exitCode);

    pid_t pid_;  // -1 once collected or handed over
    pid_t startedPid_;
    int pipe_;  // read end, -1 for none
    std::string output_;
    std::optional<int> exitCode_;
};

// Collects the killed or released children that have ended since the last
// call; never waits. Every idle pass of a file dialog runs it.
void reapStrays();

}  // namespace tarvik::gui
