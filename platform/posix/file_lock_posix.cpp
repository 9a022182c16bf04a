// File locks on POSIX: flock, which belongs to the open file, so two holders in one process
// exclude each other as two processes do.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_lock.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace vexor {

FileLock FileLock::acquire(const std::string& path) {
    const std::string native = cp932ToUtf8(withSlashSeparators(path));
    const int fd = open(native.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return FileLock();
    struct stat info{};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return FileLock();
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        close(fd);
        return taken ? heldElsewhere() : FileLock();
    }
    return FileLock(fd);
}

void FileLock::release() {
    if (handle_ == NONE) return;
    close(static_cast<int>(handle_));  // closing the file drops its lock
    handle_ = NONE;
}

}  // namespace vexor
