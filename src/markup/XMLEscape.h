#pragma once

#include <string>

namespace quillory {

// Replaces " & ' < > by their entities.
std::string XMLEscape(const std::string& text);
// Decodes &lt; &gt; &quot; &apos; and, last, &amp; (so "&amp;lt;" becomes "&lt;", decoded once).
// Other entities, numeric ones included, stay as they are.
std::string XMLUnescape(const std::string& text);

} // namespace quillory
