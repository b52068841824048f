#pragma once
// Small platform helpers.
#include <string>

// The directory of the running executable, always ending in a path separator; computed
// afresh at every call.
std::string GetAppDir();

// "Version: <major>.<minor>.<release>    Build: <build>" from the running executable's
// version record; the empty text when it has none.
std::string GetVersionText();

// The user's temporary directory, ending in a path separator.
std::string GetTempDir();

// The version line for a fixed file version (most and least significant words).
std::string FormatVersionText(unsigned mostSignificant, unsigned leastSignificant);
