#pragma once
// Whole-file reading and writing for the data files. A save never destroys the previous
// file: the bytes go to a temporary file in the same folder, are checked and flushed to
// disk, and only then renamed over the target; on any failure the old file stays as it was.
#include <cstdint>
#include <string>

namespace data {

bool FileExists(const std::string& path);
std::uintmax_t FileSizeOf(const std::string& path); // 0 when it does not exist

// Fails with "Datei <path> kann nicht geöffnet werden. <reason>".
std::string ReadWholeFile(const std::string& path);

// Fails with "Datei "<path>" kann nicht erstellt werden. <reason>"; no temporary file stays.
void WriteFileSafely(const std::string& path, const std::string& bytes);

// Renames an unreadable data file out of the way, beside it, as
// "<name>.defekt-yyyymmdd-hhmmss" (with "-2", "-3", ... if that exists); returns the new
// path, or an empty text when the file could not be moved.
std::string KeepAside(const std::string& path, std::int64_t localNowMs);

// The system's text for an error number, in the user's language where it has one.
std::string SystemErrorText(int error);

} // namespace data
