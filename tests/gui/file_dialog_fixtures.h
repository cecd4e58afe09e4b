// Shared pieces for the file-choice tests: environment variables set for a
// test's lifetime, throw-away folders, and stand-in chooser programs (small
// shell scripts) that a test puts first, and alone, on PATH, so that no real
// dialog ever appears.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/file_text.h"
#include "tests/support/scoped_env.h"

namespace tarvik::gui::test {

using tarvik::test::ScopedEnv;

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tarvik-files-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    void file(const std::string& name, const std::string& text = "x") const {
        std::filesystem::create_directories((path_ / name).parent_path());
        tarvik::test::writeWholeFile(path_ / name, text);
    }
    void folder(const std::string& name) const { std::filesystem::create_directories(path_ / name); }

private:
    std::filesystem::path path_;
};

// An executable script `name` in `folder`: it notes its arguments (one per
// line) in "<name>.args" and its process id in "<name>.pid" beside itself,
// then runs `body`. The script runs with PATH holding only its own folder:
// other programs it needs are named with their full path.
inline void writeFakeProgram(const std::filesystem::path& folder, const std::string& name, const std::string& body) {
    const std::filesystem::path script = folder / name;
    const std::string notes = (folder / name).string();
    tarvik::test::writeWholeFile(script, "#!/bin/sh\n"
                                         "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + notes + ".args'\n"
                                         "echo $$ > '" + notes + ".pid'\n" +
                                         body + "\n");
    ::chmod(script.c_str(), 0755);
}

// Runs `step` until `done` holds or five seconds passed; answers `done`.
inline bool within5s(const std::function<bool()>& done, const std::function<void()>& step = [] {}) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        step();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The process id a fake program noted; -1 while it has not started.
inline pid_t notedPid(const std::filesystem::path& folder, const std::string& name) {
    std::ifstream in(folder / (name + ".pid"));
    long pid = -1;
    in >> pid;
    return static_cast<pid_t>(pid);
}

// A process that has gone and been collected: not even a zombie is left.
inline bool processGone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace tarvik::gui::test
