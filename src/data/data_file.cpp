#include "data_file.h"

#include "date_value.h"
#include "platform/errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace data {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

[[noreturn]] void FailCreate(const std::string& path, int error) {
    throw vexo::Error("Datei \"" + path + "\" kann nicht erstellt werden. " + SystemErrorText(error));
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string SystemErrorText(int error) {
    char buffer[256];
    // The GNU strerror_r returns the text, which need not be in the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text ? text : "";
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::uintmax_t FileSizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uintmax_t>(st.st_size) : 0;
}

std::string ReadWholeFile(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    int error = errno;
    struct stat st {};
    if (fd.Get() >= 0 && ::fstat(fd.Get(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error = EISDIR;
        ::close(fd.Release());
    }
    if (fd.Get() < 0)
        throw vexo::Error("Datei " + path + " kann nicht geöffnet werden. " + SystemErrorText(error));
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0));
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw vexo::Error("Datei " + path + " kann nicht geöffnet werden. " + SystemErrorText(errno));
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

namespace {

// Temporary files of earlier saves of `path` that never finished (the program was killed
// in the middle): they hold nothing anybody needs, so they do not pile up beside the file.
void RemoveStaleTemporaries(const std::string& directory, const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

} // namespace

void WriteFileSafely(const std::string& path, const std::string& bytes) {
    const std::string directory = DirectoryOf(path);
    RemoveStaleTemporaries(directory, path);
    std::string temp = path + ".tmp-XXXXXX";
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.Get() < 0)
        FailCreate(path, errno);
    ::fcntl(fd.Get(), F_SETFD, FD_CLOEXEC);
    auto fail = [&](int error) {
        ::close(fd.Release());
        ::unlink(temp.c_str());
        FailCreate(path, error);
    };
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat old {};
    mode_t mode = 0666;
    if (::stat(path.c_str(), &old) == 0)
        mode = old.st_mode & 07777;
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd.Get(), mode);

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd.Get(), bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (n == 0)
            fail(ENOSPC);
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.Get()) != 0)
        fail(errno);
    if (::close(fd.Release()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        FailCreate(path, error);
    }
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        ::unlink(temp.c_str());
        FailCreate(path, EISDIR);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        FailCreate(path, error);
    }
    // The rename itself must reach the disk too.
    Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

std::string KeepAside(const std::string& path, std::int64_t localNowMs) {
    const std::int64_t msPerDay = 24LL * 60 * 60 * 1000;
    const int days = static_cast<int>(localNowMs / msPerDay);
    const std::int64_t ms = localNowMs % msPerDay;
    const CivilDate date = CivilFromDays(days);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, ".defekt-%04d%02d%02d-%02d%02d%02d", date.year, date.month, date.day,
                  int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60));
    std::string target = path + stamp;
    for (int n = 2; ::access(target.c_str(), F_OK) == 0 && n < 1000; ++n)
        target = path + stamp + "-" + std::to_string(n);
    if (::rename(path.c_str(), target.c_str()) != 0)
        return {};
    return target;
}

} // namespace data
