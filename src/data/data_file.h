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

// A reason set in parentheses inside a sentence, "(Zugriff verweigert)": without the full
// stop it may end in, which the sentence has after the parenthesis.
std::string Parenthesized(std::string reason);

bool FileExists(const std::string& path); // a regular file (through links)
// Something exists under the name that is not a regular file: a folder, a device, a pipe,
// a link to one of them. It is never read, replaced or moved.
bool IsOtherThanFile(const std::string& path);
std::uintmax_t FileSizeOf(const std::string& path); // 0 when it does not exist

// A whole file's bytes in memory from LargeBlocks.
struct FileBytes {
    LargeBlock block;
    std::size_t size = 0;
    std::string_view View() const { return {block.Data(), size}; }
};

// Both fail with "Datei <path> kann nicht geöffnet werden. <reason>"; only regular files
// are read (a pipe would never end, a device never stop).
FileBytes ReadFileBytes(const std::string& path);
std::string ReadWholeFile(const std::string& path);

// Whether a save keeps the file it replaces as "<name>.bak".
enum class Backup {
    None,
    // When the new bytes differ from the file's: a save of the same content leaves the
    // last real backup in place, and any change, however it came about (an edit, a file
    // kept by hand with a comment, a value the reader could not take), has its way back.
    WhenChanged
};

// What a save that succeeded has to report: the backup that could not be kept (its
// message names the backup and the reason), or nothing.
struct SaveOutcome {
    std::string backupProblem;
};

// Fails with SaveError "Datei "<path>" kann nicht erstellt werden. <reason>"; no temporary
// file stays. A file the user may not write, and anything that is not a regular file, is
// not replaced. A backup that cannot be made does not stop the save (the data file's name
// always names a whole file, the old one or the new one).
SaveOutcome WriteFileSafely(const std::string& path, std::string_view bytes, Backup backup = Backup::None);

// The file a path names after following symbolic links (a dangling link names the file it
// would point to); the path itself when it is no link.
std::string ResolveLinks(const std::string& path);

// Renames an unreadable data file out of the way, beside it, as
// "<name>.defekt-yyyymmdd-hhmmss" (with "-2", "-3", ... if that exists); returns the new
// path, or an empty text when the file could not be moved.
// `word` names why ("defekt": a file that could not be read).
std::string KeepAside(const std::string& path, std::int64_t localNowMs, const char* word = "defekt");

// The system's text for an error number, in the user's language where it has one.
std::string SystemErrorText(int error);

} // namespace data
