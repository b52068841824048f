#pragma once
// Small platform helpers.
#include <string>

// The directory of the running executable, always ending in a path separator; computed
// afresh at every call.
std::string GetAppDir();

// The folder of the data files, ending in a path separator: the executable's folder, or for
// a program installed in the system's folders (built with VEXO_SHARED_ASSETS) the user's own
// data folder ($XDG_DATA_HOME/vexo-rizidevizi, by default ~/.local/share/vexo-rizidevizi),
// created when missing.
std::string GetDataDir();

// The folder the sounds and the information text are looked up in, made the working folder
// at start: the installed program's shared folder; empty for a program in a folder of its own,
// which finds them in the folder it is started in.
std::string GetAssetsDir();

// "Version: <major>.<minor>.<release>    Build: <build>" from the running executable's
// version record; the empty text when it has none.
std::string GetVersionText();

// The user's temporary directory, ending in a path separator.
std::string GetTempDir();

// The version line for a fixed file version (most and least significant words).
std::string FormatVersionText(unsigned mostSignificant, unsigned leastSignificant);
