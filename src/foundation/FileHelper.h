#pragma once

#include <string>

namespace quillory::FileHelper {

// Reads a whole file. A UTF-8 byte-order mark is dropped, UTF-16LE (FF FE) is converted to UTF-8,
// UTF-16BE (FE FF) is refused; the text ends at the first NUL. An existing empty file gives true
// and leaves `out` untouched.
bool FileToString(const std::string& path, std::string& out);
// Writes the text atomically: a temporary file beside the target is written, flushed to disk and
// renamed over it, so a crash or a full disk leaves either the old or the new file whole. A new
// file gets mode 0600, an existing one keeps its mode.
// Temporary files that earlier saves were killed before renaming are removed first.
bool StringToFile(const std::string& path, const std::string& text);
// Removes the temporary files of StringToFile for `path` (".name.XXXXXX" beside it).
void RemoveStaleTemporaries(const std::string& path);
long long GetFileSize(const std::string& path); // 0 when it cannot be opened
bool FileExists(const std::string& path);       // can be opened for reading

} // namespace quillory::FileHelper
