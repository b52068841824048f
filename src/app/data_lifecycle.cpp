#include "data_lifecycle.h"

// The data module is not part of the program yet; until it is, there is nothing to open
// or save.
void OpenDataFilesAtFirstActivation() {}
void SaveDataFilesAtProgramEnd() {}
