#pragma once
// Whole-file reading and writing for the data files. A save never destroys the previous
// file: the bytes go to a temporary file beside the file they replace, are checked and
// flushed to disk, and only then renamed over it; on any failure the old file stays as it
// was. A symbolic link is followed: the file it points to is the one replaced.
#include "large_blocks.h"
#include "platform/errors.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace data {

// A save that failed; the message names the file and the system's reason.
class SaveError : public vexo::Error {
public:
    using vexo::Error::Error;
};

bool FileExists(const std::string& path);
std::uintmax_t FileSizeOf(const std::string& path); // 0 when it does not exist

// A whole file's bytes in memory from LargeBlocks.
struct FileBytes {
    LargeBlock block;
    std::size_t size = 0;
    std::string_view View() const { return {block.Data(), size}; }
};

// Both fail with "Datei <path> kann nicht geöffnet werden. <reason>".
FileBytes ReadFileBytes(const std::string& path);
std::string ReadWholeFile(const std::string& path);

// Fails with SaveError "Datei "<path>" kann nicht erstellt werden. <reason>"; no temporary
// file stays. A file the user may not write is not replaced. With `keepBackup` the file
// being replaced stays as "<name>.bak" (the data file's name always names a whole file,
// the old one or the new one).
void WriteFileSafely(const std::string& path, std::string_view bytes, bool keepBackup = false);

// The file a path names after following symbolic links (a dangling link names the file it
// would point to); the path itself when it is no link.
std::string ResolveLinks(const std::string& path);

// Renames an unreadable data file out of the way, beside it, as
// "<name>.defekt-yyyymmdd-hhmmss" (with "-2", "-3", ... if that exists); returns the new
// path, or an empty text when the file could not be moved.
std::string KeepAside(const std::string& path, std::int64_t localNowMs);

// The system's text for an error number, in the user's language where it has one.
std::string SystemErrorText(int error);

} // namespace data
