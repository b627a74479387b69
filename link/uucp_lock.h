#pragma once

#include <string>
#include <string_view>

// UUCP lock files, as other Linux serial programs take and honour them:
// LCK..<device> in /run/lock or /var/lock, holding the owner's PID. POSIX only.
namespace zelk20 {

// "LCK..ttyUSB0" for /dev/ttyUSB0 (links resolved; below /dev, '/' becomes '_').
std::string uucp_lock_name(std::string_view device_path);

enum class UucpLockResult {
    taken,    // the lock file is ours; `lock_path` names it
    busy,     // a running program holds the device
    skipped,  // no lock folder we may write to: go on without one
};

// Takes the lock for `device_path`. A lock file whose PID no longer runs is stale and replaced.
UucpLockResult take_uucp_lock(std::string_view device_path, std::string& lock_path);

// Removes a lock file taken by this process.
void release_uucp_lock(const std::string& lock_path);

}  // namespace zelk20
