#pragma once

#include <string>

namespace quillory {

// The full path of the data file "Quillory.xml", computed once per run: $APPDATA/Korvant/Quillory/
// when APPDATA is set, else $XDG_DATA_HOME/Korvant/Quillory/ (by default ~/.local/share/...). The
// folders are created with mode 0700; a folder that cannot be created is reported ("Can't create "
// + the folder it was to be created in + "!") and that folder is used instead.
const std::string& GetDataFilePath();
// The folder that holds Korvant/Quillory/ by the rules above ($APPDATA, $XDG_DATA_HOME or
// ~/.local/share), worked out without creating or reporting anything; "" when there is no home.
std::string GetDataRoot();
// The folder part of GetDataFilePath, with its trailing '/'.
std::string GetDataFolder();
// Forgets the computed path, so the next call reads the environment again (tests move APPDATA).
void ResetDataFilePath();
// The root of the program file's path: everything up to and including its first separator, "/" here.
std::string GetBaseFolder();

// The file's bytes as they are (no byte-order-mark handling, NULs kept); false when unreadable.
bool ReadFileBytes(const std::string& path, std::string& out);

// Keeps a copy of a data file that could not be read or parsed before anything overwrites it:
// path + ".broken", or ".broken.1", ".broken.2", ... when taken. Returns the copy's path, or "" when
// no copy could be made.
std::string KeepBrokenFile(const std::string& path);

} // namespace quillory
