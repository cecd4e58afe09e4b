#include "gui/backend/child_process_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <mutex>
#include <string_view>

extern char** environ;

namespace tarvik::gui {

namespace {

// More than any path a chooser prints; a child that keeps writing is not
// allowed to fill the host's memory.
constexpr std::size_t kOutputLimit = 64 * 1024;
constexpr int kKillWaitSteps = 100;
constexpr long kKillWaitStepNs = 1'000'000;

// Killed or released children not collected yet. Shared by every editor of
// the process (several plug-in instances may be open), whose idle passes
// all collect them.
std::mutex straysLock;
std::vector<pid_t>& strays() {
    static std::vector<pid_t> list;
    return list;
}

void addStray(pid_t pid) {
    const std::lock_guard<std::mutex> hold(straysLock);
    strays().push_back(pid);
}

// What waitpid(WNOHANG) tells of one child: still running, or gone (with
// its exit code when it exited normally and we were the ones to collect it).
struct Collection {
    bool gone = false;
    std::optional<int> exitCode;
};

Collection collect(pid_t pid) {
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return {};
    if (result < 0) return {true, std::nullopt};  // ECHILD: the host collected it
    return {true, WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt};
}

bool isExecutableFile(const std::string& path) {
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The file actions and attributes of one spawn, released however it ends.
class SpawnSetup {
public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawnattr_init(&attributes_);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // The host may block or ignore signals on its GUI thread; a child
    // starts with the default handling and nothing blocked, so that it can
    // be ended like any program.
    bool prepare(int outputFd) {
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD}) sigaddset(&defaults, sig);
        if (::posix_spawnattr_setsigmask(&attributes_, &none) != 0) return false;
        if (::posix_spawnattr_setsigdefault(&attributes_, &defaults) != 0) return false;
        if (::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) != 0)
            return false;
        if (::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0) != 0) return false;
        if (outputFd >= 0) {
            if (::posix_spawn_file_actions_adddup2(&actions_, outputFd, 1) != 0) return false;
        } else if (::posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0) != 0) {
            return false;
        }
        if (::posix_spawn_file_actions_addopen(&actions_, 2, "/dev/null", O_WRONLY, 0) != 0) return false;
#if defined(__GLIBC__)
#if __GLIBC_PREREQ(2, 34)
        // Descriptors the host opened without close-on-exec (audio devices,
        // sockets) stay with the host.
        if (::posix_spawn_file_actions_addclosefrom_np(&actions_, 3) != 0) return false;
#endif
#endif
        return true;
    }

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

}  // namespace

std::string findProgram(const std::string& program, const char* searchPath) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return isExecutableFile(program) ? program : std::string();
    std::string_view folders = searchPath ? searchPath : "";
    while (!folders.empty()) {
        const std::size_t end = folders.find(':');
        std::string folder(folders.substr(0, end));
        folders.remove_prefix(end == std::string_view::npos ? folders.size() : end + 1);
        if (folder.empty()) continue;  // an empty entry would mean the host's working folder: not ours to search
        if (folder.back() != '/') folder += '/';
        if (isExecutableFile(folder + program)) return folder + program;
    }
    return {};
}

std::unique_ptr<ChildProcess> ChildProcess::start(const std::vector<std::string>& argv, bool captureOutput) {
    if (argv.empty()) return nullptr;
    int fds[2] = {-1, -1};
    if (captureOutput && ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
    SpawnSetup setup;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const bool started = setup.prepare(fds[1]) &&
                         ::posix_spawn(&pid, argv[0].c_str(), setup.actions(), setup.attributes(), args.data(),
                                       environ) == 0;
    if (fds[1] >= 0) ::close(fds[1]);  // only the child writes
    if (!started) {
        if (fds[0] >= 0) ::close(fds[0]);
        return nullptr;
    }
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, fds[0]));
}

ChildProcess::~ChildProcess() {
    kill();
    closePipe();
}

void ChildProcess::readPipe() {
    char buffer[4096];
    while (pipe_ >= 0) {
        const ssize_t got = ::read(pipe_, buffer, sizeof buffer);
        if (got > 0) {
            const std::size_t room = kOutputLimit - std::min(kOutputLimit, output_.size());
            output_.append(buffer, std::min(room, static_cast<std::size_t>(got)));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            if (got == 0) closePipe();  // every writer has gone
            return;                     // EAGAIN: nothing more for now
        }
    }
}

void ChildProcess::closePipe() {
    if (pipe_ >= 0) ::close(pipe_);
    pipe_ = -1;
}

void ChildProcess::collected(std::optional<int> exitCode) {
    pid_ = -1;
    exitCode_ = exitCode;
    // What the child wrote before it ended is all in the pipe by now; a
    // grandchild holding the pipe open must not make us wait for its end.
    readPipe();
    closePipe();
}

bool ChildProcess::poll() {
    if (ended()) return true;
    readPipe();
    const Collection c = collect(pid_);
    if (c.gone) collected(c.exitCode);
    return ended();
}

void ChildProcess::kill() {
    if (ended()) return;
    ::kill(pid_, SIGKILL);
    for (int step = 0; step < kKillWaitSteps; ++step) {
        if (collect(pid_).gone) {
            pid_ = -1;
            closePipe();
            return;
        }
        const timespec pause{0, kKillWaitStepNs};
        ::nanosleep(&pause, nullptr);
    }
    release();
}

void ChildProcess::release() {
    if (ended()) return;
    addStray(pid_);
    pid_ = -1;
    closePipe();
}

void reapStrays() {
    const std::lock_guard<std::mutex> hold(straysLock);
    std::vector<pid_t>& list = strays();
    std::erase_if(list, [](pid_t pid) { return collect(pid).gone; });
}

}  // namespace tarvik::gui
