#pragma once

#include <list>
#include <string>

#include "foundation/Exception.h"
#include "markup/XMLDoc.h"

namespace quillory {

// A record stored as XML: it appends its own tokens to a document and reads itself back from a
// token vector at a moving index. Header-only.
class XMLPersistable {
public:
    virtual ~XMLPersistable() = default;

    // One token per line, each ended by CR LF.
    void CreateXMLString(std::string& out) const {
        XMLDoc doc;
        CreateXML(doc);
        doc.CreateText(out);
    }
    virtual void CreateXML(XMLDoc& doc) const = 0;
    // Reads the record starting at token `index`; afterwards `index` is the first token after it.
    virtual void ParseXML(const XMLDoc& doc, unsigned& index) = 0;

    // Tokens after the root record are ignored.
    void ParseXMLString(const std::string& text) {
        XMLDoc doc;
        doc.Parse(text);
        unsigned index = 0;
        ParseXML(doc, index);
    }
};

// A record with one writer: its text, rendered straight (one token per line, each ended by CR LF).
// Its tokens are read back from that text, so the two can never differ.
class XMLTextRecord : public XMLPersistable {
public:
    virtual void AppendXMLText(std::string& out) const = 0;

    void CreateXML(XMLDoc& doc) const final {
        std::string text;
        AppendXMLText(text);
        XMLDoc record;
        record.Parse(text);
        for (const XMLTag& tag : record.GetTags())
            doc.AddTag(tag);
    }
};

// What a persistable list of T needs to know of T: specialise with the two element names `list` and
// `element`, and `Default()`, the state a new element is parsed into.
template <typename T> struct XMLListNames;

// A list of records that wraps its elements in a start and an end tag.
template <typename T> class XMLPersistableList : public std::list<T>, public XMLPersistable {
public:
    using std::list<T>::list;

    void CreateXML(XMLDoc& doc) const override {
        doc.AddStartTag(XMLListNames<T>::list, {});
        for (const T& item : *this)
            item.CreateXML(doc);
        doc.AddEndTag(XMLListNames<T>::list);
    }

    void ParseXML(const XMLDoc& doc, unsigned& index) override {
        ParseXML(doc, index, [](unsigned&, bool) { return false; });
    }

    // The same over a window of tokens: `more(index, grow)` slides the window to start at token
    // `index` (which becomes 0) and adds tokens, more than the last time when `grow`; false when no
    // text is left. An element that fails to read while more can come is read again from a grown window,
    // so every result and every error is the one the whole token vector gives.
    template <typename More> void ParseXML(const XMLDoc& doc, unsigned& index, More&& more) {
        const std::string listName = XMLListNames<T>::list;
        this->clear();
        while (doc.GetTagCount() == 0)
            if (!more(index, false))
                return;
        if (index >= doc.GetTagCount())
            throw XMLException("XMLPersistableList::ParseXML() - Index is out of range!");
        const XMLTag& first = doc[index];
        if (first.GetName() != listName || first.GetKind() != XMLTagKind::START)
            throw XMLException("XMLPersistableList::ParseXML - unexpected tag! Received [" + first.GetName() +
                               "], Expected [" + listName + "]");
        ++index;
        // Built once: the default state may read the clock, and lists can hold millions of entries.
        const T prototype = XMLListNames<T>::Default();
        for (;;) {
            if (index >= doc.GetTagCount() && more(index, false))
                continue;
            const XMLTag& tag = doc[index];
            if (tag.GetName() == listName && tag.GetKind() == XMLTagKind::END)
                break;
            if (tag.GetName() != XMLListNames<T>::element)
                throw XMLException("XMLPersistableList::ParseXML() - unexpected child tag! Received [" + tag.GetName() +
                                   "], Expected [" + listName + "]");
            T item = prototype;
            unsigned next = index;
            try {
                item.ParseXML(doc, next);
            } catch (const XMLException&) {
                // Slide the element to the window's start; grow the window when it started there.
                if (!more(index, index == 0))
                    throw;
                continue;
            }
            index = next;
            this->push_back(std::move(item));
        }
        ++index;
    }
};

} // namespace quillory
