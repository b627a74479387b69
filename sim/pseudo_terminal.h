#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zelk20::sim {

// A pseudo-terminal pair standing in for a serial line: the program opens the
// slave path as its port, the module side works on the master. A slave
// descriptor of our own stays open, so that the program closing and reopening
// its port never gives the master EIO. Move-only; closes both in the destructor.
class PseudoTerminal {
public:
    static std::optional<PseudoTerminal> open();

    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&& other) noexcept;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    const std::string& slave_path() const { return slave_path_; }
    int master_fd() const { return master_; }
    int own_slave_fd() const { return slave_; }

    // Writes all of `bytes` to the line (the program's port receives them).
    bool write(std::span<const std::uint8_t> bytes);
    // Reads what the program wrote, waiting up to `wait` for the first byte.
    std::size_t read(std::span<std::uint8_t> buffer, std::chrono::milliseconds wait);

    // Bytes on the line that no one has read yet, and throwing them away: a
    // real port that is closed loses what arrives meanwhile.
    std::size_t unread() const;
    void discard_unread();

    // The device vanishes: both of our ends close, the program's port sees a hang-up.
    void hang_up();

private:
    PseudoTerminal(int master, int slave, std::string slave_path);
    void close_all();

    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
};

}  // namespace zelk20::sim
