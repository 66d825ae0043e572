// XMLDoc::Parse on arbitrary bytes: no crash, the same tokens as the plain character-by-character
// tokenizer, rendering the tokens back works, and escaping round-trips.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "ReferenceTokenizer.h"
#include "markup/XMLDoc.h"
#include "markup/XMLEscape.h"

using namespace quillory;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    XMLDoc doc;
    doc.Parse(text);
    const std::vector<XMLTag> expected = reference::Tokenize(text);
    if (!reference::Same(doc.GetTags(), expected)) {
        std::fprintf(stderr, "fast:\n%s\nreference:\n%s\n", reference::Describe(doc).c_str(),
                     reference::Describe(expected).c_str());
        std::abort();
    }

    std::string rendered;
    doc.CreateText(rendered);
    XMLDoc again;
    again.Parse(rendered);
    if (doc.GetTagCount() > 0)
        again.FindTag(doc[0].GetName(), doc[0].GetKind(), 0, doc[0].GetAttributes());

    // A tag made from a buffer of exactly the content's size, so that any read past it is caught.
    if (size > 0) {
        std::unique_ptr<char[]> exact(new char[size]);
        std::memcpy(exact.get(), data, size);
        XMLTag tag;
        tag.Parse(exact.get(), size);
        const XMLTag reference = reference::ParseTag(text);
        if (!reference::Same(tag, reference)) {
            std::fprintf(stderr, "tag: %s\nreference: %s\n", reference::Describe(tag).c_str(),
                         reference::Describe(reference).c_str());
            std::abort();
        }
        std::string out;
        tag.CreateText(out);
    }

    if (XMLUnescape(XMLEscape(text)) != text)
        std::abort();
    XMLUnescape(text);
    return 0;
}
