#pragma once
// One copy of the program at a time on a data folder: the first copy holds an advisory
// lock on a file in the folder for as long as it runs; the system releases it when the
// program ends, however it ends. A second copy finds the lock taken and must not touch the
// data files.
#include <string>

namespace data {

class InstanceLock {
public:
    static constexpr const char* FileName = "vexo-rizidevizi.lock";

    // Tries to take the lock in `folder` (ending in a separator).
    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False only when another live process holds the lock. A folder where the lock file
    // cannot be made (not writable) gives no protection and no refusal: saving there fails
    // with its own clear message anyway.
    bool Acquired() const { return !m_heldElsewhere; }

private:
    int m_fd = -1;
    bool m_heldElsewhere = false;
};

} // namespace data
