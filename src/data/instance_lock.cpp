#include "instance_lock.h"

#include "data_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace data {

InstanceLock::InstanceLock(const std::string& folder) : m_path(folder + FileName) {
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (m_fd < 0)
        m_fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW); // a lock needs no write access
    if (m_fd < 0) {
        const int error = errno;
        m_reason = SystemErrorText(error);
        struct stat st {};
        m_status =
            ::lstat(m_path.c_str(), &st) == 0 ? LockStatus::Unavailable : LockStatus::FolderNotWritable;
        return;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_status = errno == EWOULDBLOCK ? LockStatus::HeldElsewhere : LockStatus::Unavailable;
        m_reason = SystemErrorText(errno);
        ::close(m_fd);
        m_fd = -1;
    }
}

std::string InstanceLock::Owner() const {
    struct stat st {};
    if (::lstat(m_path.c_str(), &st) != 0)
        return {};
    if (const passwd* account = ::getpwuid(st.st_uid))
        return account->pw_name;
    return std::to_string(st.st_uid);
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string WhyNothingCanBeSaved(const std::string& folder, const std::initializer_list<std::string>& files) {
    // A file made and removed again is the one sure test: permissions, a read-only medium,
    // a full disk and the user's quota all answer here.
    std::string probe = folder + ".vexo-schreibtest-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return "Im Ordner \"" + folder + "\" kann keine Datei angelegt werden. " + SystemErrorText(errno);
    ::close(fd);
    ::unlink(probe.c_str());
    for (const std::string& file : files) {
        const std::string target = ResolveLinks(file);
        if (IsOtherThanFile(target))
            return "\"" + file + "\" ist keine Datei und kann nicht gespeichert werden.";
        if (FileExists(target) && ::access(target.c_str(), W_OK) != 0)
            return "Die Datei \"" + file + "\" darf nicht geändert werden. " + SystemErrorText(errno);
    }
    return {};
}

} // namespace data
