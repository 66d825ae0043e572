#pragma once

namespace quillory {

// The kind of a markup token. The values are part of the interface: callers keep and compare them as
// plain ints, so the enumerators convert implicitly; the struct only keeps the short names such as
// START and TEXT out of the enclosing namespace.
struct XMLTagKind {
    enum Value : int {
        UNKNOWN = 0, // never parsed; rendered like START
        START = 1,   // <name attr...>
        END = 2,     // </name>
        EMPTY = 3,   // <name attr.../>
        SYSTEM = 4,  // <?name attr...?>
        DTD = 5,     // <!name ...>
        TEXT = 6,    // text between tags, trimmed
        COMMENT = 7, // <!--text-->
    };
};

} // namespace quillory
