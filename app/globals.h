#pragma once
// State of the note shared by the main window's handlers.

#include <string>

// The note file: the executable's folder followed by "BriskJot.txt".
extern std::string NoteFilePath;
// The memo holds what was last loaded or saved.
extern bool TextSaved;
// The main window has been activated since start; changes before that (the
// loading of the note) neither autosave nor enable Save.
extern bool FormActivated;
// False while the memo holds only the part of the note before a NUL: the first save keeps
// the note as it is on disk in BriskJot.txt.bak.
extern bool MemoHoldsWholeNote;
