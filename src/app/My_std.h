#pragma once
// Small platform helpers.
#include <string>

// The directory of the running executable, always ending in a path separator; computed
// afresh at every call.
std::string GetAppDir();
