#pragma once

// Runs one of our programs as a child process, its output into files, for
// the end-to-end tests of the command-line tools.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zelk20::test {

struct ProgramRun {
    int exit_code = -1;  // -1: it had to be killed
    std::string out;
    std::string err;
    std::chrono::milliseconds took{0};
};

inline std::string file_text(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ChildProgram {
public:
    // Starts `program` with `arguments`; stdout and stderr go to files in `folder`.
    ChildProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& folder)
        : out_path_(folder / "stdout"), err_path_(folder / "stderr"), start_(std::chrono::steady_clock::now()) {
        std::vector<char*> argv;
        std::vector<std::string> all = {program};
        all.insert(all.end(), arguments.begin(), arguments.end());
        for (std::string& argument : all) argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProgram() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    void signal(int number) const { ::kill(pid_, number); }

    // Waits for the end, at most `limit`; a program still running then is killed.
    ProgramRun wait(std::chrono::milliseconds limit) {
        ProgramRun run;
        const auto end = start_ + limit;
        int status = 0;
        while (pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= end) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                status = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        pid_ = -1;
        run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
        if (status != -1 && WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
        run.out = file_text(out_path_);
        run.err = file_text(err_path_);
        return run;
    }

private:
    std::filesystem::path out_path_;
    std::filesystem::path err_path_;
    std::chrono::steady_clock::time_point start_;
    pid_t pid_ = -1;
};

// Runs `program` to its end (killed after `limit`).
inline ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                              const std::filesystem::path& folder,
                              std::chrono::milliseconds limit = std::chrono::milliseconds(20000)) {
    ChildProgram child(program, arguments, folder);
    return child.wait(limit);
}

// The lines of a program's output.
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace zelk20::test
