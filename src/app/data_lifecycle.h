#pragma once
// Where the main window hands over to the data store: the first activation binds the
// tables to their files and opens or creates them; the end of the program saves them.
void OpenDataFilesAtFirstActivation();
void SaveDataFilesAtProgramEnd();
