#pragma once
// A data file that exists but cannot be read as this table: the message is the reading
// failure's own; the path tells which file it was, so that the caller can keep exactly
// that file aside and not another table's.
#include "data_file.h"
#include "platform/errors.h"

#include <string>

namespace data {

class UnreadableFile : public vexo::Error {
public:
    UnreadableFile(const std::string& message, std::string path)
        : vexo::Error(message), m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// A post that would store a second record under a key that must be unique: the navigator
// says "Datensatz bereits vorhanden".
class KeyViolation : public vexo::Error {
public:
    KeyViolation() : vexo::Error("Indexfehler") {}
};

FileBytes ReadOwnFile(const std::string& path);

} // namespace data
