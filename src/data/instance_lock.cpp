#include "instance_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace data {

InstanceLock::InstanceLock(const std::string& folder) {
    const std::string path = folder + FileName;
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC); // a lock needs no write access
    if (m_fd < 0)
        return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_heldElsewhere = errno == EWOULDBLOCK;
        ::close(m_fd);
        m_fd = -1;
    }
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace data
