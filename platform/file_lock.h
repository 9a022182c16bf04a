// A lock on a file, held for as long as the object lives. It excludes other holders in this and
// in other processes, and the system drops it when its holder dies, so a killed run leaves no
// stale lock behind. (file_lock_posix.cpp / file_lock_win32.cpp)
#pragma once

#include <cstdint>
#include <string>

namespace vexor {

class FileLock {
public:
    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(FileLock&& other) noexcept : handle_(other.handle_), busy_(other.busy_) {
        other.handle_ = NONE;
    }
    FileLock& operator=(FileLock&& other) noexcept {
        if (this != &other) {
            release();
            handle_ = other.handle_;
            busy_ = other.busy_;
            other.handle_ = NONE;
        }
        return *this;
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on path (creating the file when missing) without waiting. The lock is not
    // held when another holder has it, or when path cannot be made a regular file.
    static FileLock acquire(const std::string& path);

    bool held() const { return handle_ != NONE; }
    // Not held because another holder has it (rather than because the file cannot be made).
    bool busy() const { return busy_; }
    void release();

private:
    static constexpr std::intptr_t NONE = -1;
    explicit FileLock(std::intptr_t handle) : handle_(handle) {}
    static FileLock heldElsewhere() {
        FileLock lock;
        lock.busy_ = true;
        return lock;
    }
    std::intptr_t handle_ = NONE;
    bool busy_ = false;
};

}  // namespace vexor
