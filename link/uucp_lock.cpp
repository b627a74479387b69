#include "link/uucp_lock.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace zelk20 {

namespace {

constexpr std::array<const char*, 2> lock_folders = {"/run/lock", "/var/lock"};

// The PID a lock file names, or 0 when it names none.
long lock_owner(const std::string& path) {
    std::ifstream file(path);
    long pid = 0;
    file >> pid;
    return file ? pid : 0;
}

bool running(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

}  // namespace

std::string uucp_lock_name(std::string_view device_path) {
    std::error_code error;
    std::filesystem::path device = std::filesystem::canonical(std::filesystem::path(device_path), error);
    if (error) device = std::filesystem::path(device_path);
    std::string name = device.string();
    if (name.rfind("/dev/", 0) == 0) name = name.substr(5);
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return "LCK.." + name;
}

UucpLockResult take_uucp_lock(std::string_view device_path, std::string& lock_path) {
    const std::string name = uucp_lock_name(device_path);
    // A live lock in either folder holds the device (the two are often one).
    for (const char* folder : lock_folders) {
        const std::string path = std::string(folder) + "/" + name;
        const long owner = lock_owner(path);
        if (running(owner) && owner != ::getpid()) return UucpLockResult::busy;
    }
    for (const char* folder : lock_folders) {
        if (::access(folder, W_OK) != 0) continue;
        const std::string path = std::string(folder) + "/" + name;
        for (int attempt = 0; attempt < 2; ++attempt) {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0) {
                char text[16];
                const int length = std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
                const bool written = ::write(fd, text, static_cast<std::size_t>(length)) == length;
                ::close(fd);
                if (!written) {
                    ::unlink(path.c_str());
                    break;
                }
                lock_path = path;
                return UucpLockResult::taken;
            }
            if (errno != EEXIST) break;
            const long owner = lock_owner(path);
            if (running(owner)) return UucpLockResult::busy;  // ourselves included: the port is open here already
            ::unlink(path.c_str());                           // stale
        }
    }
    return UucpLockResult::skipped;
}

void release_uucp_lock(const std::string& lock_path) {
    if (!lock_path.empty() && lock_owner(lock_path) == ::getpid()) ::unlink(lock_path.c_str());
}

}  // namespace zelk20
