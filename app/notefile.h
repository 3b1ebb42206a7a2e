#pragma once
// Reading and writing the note file. Failures are exceptions.

#include <windows.h>

#include <string>
#include <string_view>

#include "app/notecodec.h"

namespace notefile {

// The folder of the running executable, with its trailing backslash.
std::string ExeFolder();

bool FileExists(const std::string& path);
// Archive only: lifts read-only, hidden and system. Failure is ignored on purpose.
void ResetAttributes(const std::string& path);

// The whole note as the memo shows it, and the encoding it was read in; throws when the file
// cannot be read.
notecodec::Decoded ReadNote(const std::string& path);

// The one write primitive, replaceable so tests can cut a write short.
using WriteFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
void SetWriteFunction(WriteFn write);  // null restores WriteFile

// Writes the bytes to path without ever leaving a damaged note behind: the text
// goes to a temporary file in the same folder, which then replaces the note in
// one step. On failure the old note is untouched and the temporary is removed.
void WriteNote(const std::string& path, std::string_view text);

}  // namespace notefile
