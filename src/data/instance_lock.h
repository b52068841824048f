#pragma once
// One copy of the program at a time on a data folder: the first copy holds an advisory
// lock on a file in the folder for as long as it runs; the system releases it when the
// program ends, however it ends. A copy that cannot take the lock must not touch the data
// files.
#include <string>

namespace data {

enum class LockStatus {
    Acquired,      // this copy holds the lock
    HeldElsewhere, // another live process holds it
    // The lock file is there but this user cannot open it (another user's file): whoever
    // made it may be working on the data right now.
    Unavailable,
    // No lock file, and none can be made: nothing can be saved in the folder either, so no
    // copy can change the data files.
    FolderNotWritable
};

class InstanceLock {
public:
    static constexpr const char* FileName = "vexo-rizidevizi.lock";

    // Tries to take the lock in `folder` (ending in a separator).
    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    LockStatus Status() const { return m_status; }
    bool Acquired() const { return m_status == LockStatus::Acquired; }
    // The system's reason when the lock file could not be opened.
    const std::string& Reason() const { return m_reason; }
    std::string Path() const { return m_path; }
    // The user account the lock file belongs to (its name, or its number), or empty.
    std::string Owner() const;

private:
    std::string m_path;
    int m_fd = -1;
    LockStatus m_status = LockStatus::Acquired;
    std::string m_reason;
};

// Why nothing can be saved in `folder` (ending in a separator) or to one of its data files
// `files` (that exist but may not be replaced), in German; empty when saving can work.
std::string WhyNothingCanBeSaved(const std::string& folder, const std::initializer_list<std::string>& files);

} // namespace data
