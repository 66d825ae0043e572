// The date, time and timestamp attribute readers and the element readers either accept a text or
// throw XMLException; nothing else may escape, and an accepted text writes back to the same length.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "datetime/DateTime.h"
#include "foundation/Exception.h"
#include "foundation/Log.h"

using namespace quillory;

namespace {

template <typename T> void Check(const std::string& text, size_t length) {
    T value;
    try {
        value.ParseXMLAttrString(text);
    } catch (const XMLException&) {
        return;
    }
    if (text.size() != length)
        std::abort();
    (void)value.CreateXMLAttrString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        Log::Instance().toConsole = false;
        return true;
    }();
    (void)quiet;
    std::string text(reinterpret_cast<const char*>(data), size);
    Check<Date>(text, 10);
    Check<Time>(text, 8);
    Check<DateTime>(text, 19);

    // The same text as a document holding one element of each kind.
    XMLDoc doc;
    doc.Parse(text);
    for (unsigned i = 0; i < doc.GetTagCount(); ++i) {
        try {
            unsigned index = i;
            Date date;
            date.ParseXML(doc, index);
        } catch (const XMLException&) {
        }
        try {
            unsigned index = i;
            DateTime stamp;
            stamp.ParseXML(doc, index);
        } catch (const XMLException&) {
        }
    }
    return 0;
}
