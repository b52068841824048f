#include "data_file.h"

#include "date_value.h"
#include "platform/errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

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

[[noreturn]] void FailCreate(const std::string& path, const std::string& reason) {
    throw SaveError("Datei \"" + path + "\" kann nicht erstellt werden. " + reason);
}

[[noreturn]] void FailCreate(const std::string& path, int error) {
    FailCreate(path, SystemErrorText(error));
}

// Why a name that is not a regular file is left alone, in the user's words.
std::string NotAFileText(const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return SystemErrorText(EISDIR);
    if (S_ISFIFO(st.st_mode))
        return "Unter diesem Namen liegt keine Datei, sondern eine Pipe.";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return "Unter diesem Namen liegt keine Datei, sondern ein Gerät.";
    if (S_ISSOCK(st.st_mode))
        return "Unter diesem Namen liegt keine Datei, sondern ein Socket.";
    return "Unter diesem Namen liegt keine gewöhnliche Datei.";
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string SystemErrorText(int error) {
    // The usual causes in German whatever the system's language; the rest as the system
    // words them.
    switch (error) {
    case EACCES:
    case EPERM:
        return "Zugriff verweigert.";
    case ENOENT:
        return "Der Ordner oder die Datei existiert nicht.";
    case ENOTDIR:
        return "Ein Teil des Pfades ist kein Ordner.";
    case ENOSPC:
    case EDQUOT:
        return "Auf dem Datenträger ist nicht genügend Speicherplatz frei.";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case EISDIR:
        return "Unter diesem Namen liegt ein Ordner.";
    case EIO:
        return "Ein-/Ausgabefehler beim Zugriff auf den Datenträger.";
    case ENAMETOOLONG:
        return "Der Dateiname ist zu lang.";
    case EFBIG:
        return "Die Datei ist zu groß.";
    case EBUSY:
    case ETXTBSY:
        return "Die Datei wird gerade benutzt.";
    default:
        break;
    }
    char buffer[256];
    // The GNU strerror_r returns the text, which need not be in the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text ? text : "";
}

std::string Parenthesized(std::string reason) {
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' '))
        reason.pop_back();
    return "(" + reason + ")";
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsOtherThanFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

std::uintmax_t FileSizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uintmax_t>(st.st_size) : 0;
}

FileBytes ReadFileBytes(const std::string& path) {
    // Opened without waiting: opening a pipe for reading would wait for a writer forever.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    const int error = errno;
    if (fd.Get() < 0)
        throw vexo::Error("Datei " + path + " kann nicht geöffnet werden. " + SystemErrorText(error));
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0)
        throw vexo::Error("Datei " + path + " kann nicht geöffnet werden. " + SystemErrorText(errno));
    if (!S_ISREG(st.st_mode))
        throw vexo::Error("Datei " + path + " kann nicht geöffnet werden. " + NotAFileText(st));
    ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    // Room for the size the file has now, and one byte more to see the end; a file that
    // grows meanwhile moves to a block twice the size.
    FileBytes bytes{LargeBlock(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) + 1), 0};
    for (;;) {
        if (bytes.size == bytes.block.Capacity()) {
            LargeBlock bigger(bytes.block.Capacity() * 2);
            std::memcpy(bigger.Data(), bytes.block.Data(), bytes.size);
            bytes.block = std::move(bigger);
        }
        const ssize_t n =
            ::read(fd.Get(), bytes.block.Data() + bytes.size, bytes.block.Capacity() - bytes.size);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw vexo::Error("Datei " + path + " kann nicht geöffnet werden. " + SystemErrorText(errno));
        }
        bytes.size += static_cast<std::size_t>(n);
    }
    return bytes;
}

std::string ReadWholeFile(const std::string& path) {
    return std::string(ReadFileBytes(path).View());
}

namespace {

// Temporary files are named "<name>.tmp-<pid>-XXXXXX" after the process that writes them,
// and that process holds a lock on the file while it writes. A leftover of a killed save
// holds nothing anybody needs, so it does not pile up beside the file; the file of a save
// under way in another process is locked and never touched. The lock decides, not the
// process id in the name: ids are handed out again, and a killed save's id may belong to
// some other process by now.
bool OwnedByLiveSave(const std::string& name, int dirFd) {
    Descriptor fd(::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    return fd.Get() >= 0 && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0;
}

void RemoveStaleTemporaries(const std::string& directory, const std::string& target) {
    const auto slash = target.find_last_of('/');
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp-";
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > prefix.size() + 6 - 1 && name.compare(0, prefix.size(), prefix) == 0 &&
            !OwnedByLiveSave(name, ::dirfd(dir)))
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

// Writes all bytes to an open file and flushes them to disk; returns 0 or the error number.
int WriteAllAndSync(int fd, const char* bytes, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        written += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// The rename must reach the disk too. A file system that cannot sync a folder says so with
// EINVAL; that is no failure of the save.
int SyncDirectory(const std::string& directory) {
    Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0)
        return errno;
    if (::fsync(dir.Get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        return errno;
    return 0;
}

// "<target>.bak" becomes the file about to be replaced: a second name for the same bytes
// where the file system allows it, else a copy; either way through a temporary name, so
// that the old backup is whole until the new one is.
int MakeBackup(const std::string& target) {
    const std::string backup = target + ".bak";
    // Named like the save's own temporary file, so that a killed save's leftover is
    // cleared away the same way.
    const std::string fresh = target + ".tmp-" + std::to_string(::getpid()) + "-backup";
    ::unlink(fresh.c_str());
    if (::link(target.c_str(), fresh.c_str()) != 0) {
        std::string bytes;
        try {
            bytes = ReadWholeFile(target);
        } catch (const vexo::Error&) {
            return EIO;
        }
        Descriptor fd(::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd.Get() < 0)
            return errno;
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0)
            ::fchmod(fd.Get(), st.st_mode & 07777);
        if (const int error = WriteAllAndSync(fd.Get(), bytes.data(), bytes.size())) {
            ::unlink(fresh.c_str());
            return error;
        }
    }
    if (::rename(fresh.c_str(), backup.c_str()) != 0) {
        const int error = errno;
        ::unlink(fresh.c_str());
        return error;
    }
    // When the backup is already a second name of the same file (a save that was stopped
    // after its backup and before its rename), the rename leaves both names as they are.
    ::unlink(fresh.c_str());
    return 0;
}

// The file holds exactly these bytes: the same size, then the same content, read a piece
// at a time and given up at the first difference (an edit changes the change log, near the
// start). A file that cannot be read counts as different, so that it is kept.
bool HoldsBytes(const std::string& file, const struct stat& st, std::string_view bytes) {
    if (static_cast<std::uintmax_t>(st.st_size) != bytes.size())
        return false;
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0)
        return false;
    std::vector<char> piece(256 * 1024);
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::read(fd.Get(), piece.data(), std::min(piece.size(), bytes.size() - at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || std::memcmp(piece.data(), bytes.data() + at, static_cast<std::size_t>(n)) != 0)
            return false;
        at += static_cast<std::size_t>(n);
    }
    char more;
    return ::read(fd.Get(), &more, 1) == 0;
}

} // namespace

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size())
            return current;
        link.resize(static_cast<std::size_t>(n));
        current = !link.empty() && link[0] == '/' ? link : DirectoryOf(current) + "/" + link;
    }
    return current;
}

SaveOutcome WriteFileSafely(const std::string& path, std::string_view bytes, Backup backup) {
    const std::string target = ResolveLinks(path);
    const std::string directory = DirectoryOf(target);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        FailCreate(path, NotAFileText(old));
    // The rename would replace a file the user may not write; the file's own permission
    // decides, as it would for writing into it.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        FailCreate(path, errno);
    RemoveStaleTemporaries(directory, target);
    std::string temp = target + ".tmp-" + std::to_string(::getpid()) + "-XXXXXX";
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.Get() < 0)
        FailCreate(path, errno);
    ::fcntl(fd.Get(), F_SETFD, FD_CLOEXEC);
    ::flock(fd.Get(), LOCK_EX); // marks the file as a save under way, see OwnedByLiveSave
    auto fail = [&](int error) {
        ::unlink(temp.c_str());
        FailCreate(path, error);
    };
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    mode_t mode = 0666;
    if (exists)
        mode = old.st_mode & 07777;
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd.Get(), mode);

    if (const int error = WriteAllAndSync(fd.Get(), bytes.data(), bytes.size()))
        fail(error);
    SaveOutcome outcome;
    // An empty file holds nothing worth a backup.
    if (exists && old.st_size > 0 && backup == Backup::WhenChanged && !HoldsBytes(target, old, bytes))
        if (const int error = MakeBackup(target))
            outcome.backupProblem =
                "Die Datei \"" + path + "\" wurde gespeichert, aber ihr bisheriger Inhalt konnte nicht als " +
                "Sicherungskopie \"" + target + ".bak\" erhalten bleiben. " + SystemErrorText(error);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        fail(errno);
    ::close(fd.Release()); // the bytes were synced before the rename: a late close error changes nothing
    if (const int error = SyncDirectory(directory))
        throw SaveError("Die Datei \"" + path +
                        "\" wurde geschrieben, aber das System bestätigt nicht, dass sie dauerhaft "
                        "gespeichert ist. " +
                        SystemErrorText(error));
    return outcome;
}

std::string KeepAside(const std::string& path, std::int64_t localNowMs, const char* word) {
    const std::int64_t msPerDay = 24LL * 60 * 60 * 1000;
    const int days = static_cast<int>(localNowMs / msPerDay);
    const std::int64_t ms = localNowMs % msPerDay;
    const CivilDate date = CivilFromDays(days);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, ".%.8s-%04d%02d%02d-%02d%02d%02d", word, date.year, date.month,
                  date.day, int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60));
    // Through a symbolic link the file it points to is kept aside; the link then names the
    // file the new table is written to.
    const std::string file = ResolveLinks(path);
    std::string target = file + stamp;
    for (int n = 2; ::access(target.c_str(), F_OK) == 0 && n < 1000; ++n)
        target = file + stamp + "-" + std::to_string(n);
    if (::rename(file.c_str(), target.c_str()) != 0)
        return {};
    return target;
}

} // namespace data
