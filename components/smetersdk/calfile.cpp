#include "calfile.h"

#include "calformat.h"
#include "smetersdk.h"
#include "smetersdk_test.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace smetersdk {

namespace {

int32_t gFailingStep = 0;

int syncFile(int fd) {
    if (gFailingStep == SMS_TEST_FAIL_FSYNC) {
        errno = EIO;
        return -1;
    }
    return ::fsync(fd);
}

int renameFile(const char *from, const char *to) {
    if (gFailingStep == SMS_TEST_FAIL_RENAME) {
        errno = EIO;
        return -1;
    }
    return ::rename(from, to);
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool writeAll(int fd, const unsigned char *data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string &path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

int32_t LoadFile(const char *path, CalSet &set) {
    if (!path || !*path) return SMS_ERR_FILE_NAME;
    // Non-blocking, so that a FIFO by that name cannot stall the caller.
    Fd fd(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return SMS_ERR_FILE_NOT_FOUND;
        if (errno == ENAMETOOLONG) return SMS_ERR_FILE_NAME;
        return SMS_ERR_LOAD;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return SMS_ERR_LOAD;
    if (!S_ISREG(info.st_mode)) return SMS_ERR_FILE_NAME;
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > kMaxFileSize) return SMS_ERR_LOAD;

    const int in = fd.get();
    const auto source = [in](unsigned char *buffer, size_t capacity) -> size_t {
        for (;;) {
            const ssize_t n = ::read(in, buffer, capacity);
            if (n >= 0) return static_cast<size_t>(n); // 0: the file shrank meanwhile
            if (errno != EINTR) return 0;
        }
    };
    return ReadCalFile(static_cast<uint64_t>(info.st_size), source, set) ? SMS_OK : SMS_ERR_LOAD;
}

void FailSaveAt(int32_t step) {
    gFailingStep = step;
}

int32_t SaveFile(const char *path, const CalSet &set) {
    if (!path || !*path) return SMS_ERR_FILE_NAME;
    std::string target = path;
    if (target.back() == '/') return SMS_ERR_FILE_NAME;

    // Replace what a symbolic link points to, not the link.
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(target.c_str(), resolved)) return SMS_ERR_WRITE;
        target = resolved;
    }
    bool exists = false;
    mode_t oldMode = 0;
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return SMS_ERR_FILE_NAME;
        exists = true;
        oldMode = info.st_mode & 07777;
    }

    // A name of our own beside the target; O_EXCL never opens someone
    // else's file.
    static unsigned counter = 0;
    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) return SMS_ERR_WRITE;
    }
    if (raw < 0) return SMS_ERR_WRITE;
    Fd fd(raw);

    const int out = fd.get();
    bool ok = WriteCalFile(
        set, [out](const unsigned char *data, size_t size) { return writeAll(out, data, size); });
    if (ok && exists) ok = ::fchmod(out, oldMode) == 0;
    ok = ok && syncFile(out) == 0;
    ok = ::close(fd.release()) == 0 && ok;
    ok = ok && renameFile(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return SMS_ERR_WRITE;
    }
    // Make the rename itself durable; the file is already complete.
    Fd folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
    return SMS_OK;
}

} // namespace smetersdk
