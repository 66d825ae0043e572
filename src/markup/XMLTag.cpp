#include "markup/XMLTag.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>

#include "foundation/Exception.h"
#include "markup/CharScan.h"

namespace quillory {

namespace {

enum CharClass : uint8_t { ORDINARY, BLANK, EQUALS, QUOTE };

constexpr std::array<uint8_t, 256> MakeClasses() {
    std::array<uint8_t, 256> classes{};
    classes[' '] = classes['\t'] = classes['\n'] = classes['\r'] = BLANK;
    classes['='] = EQUALS;
    classes['"'] = classes['\''] = QUOTE;
    return classes;
}
constexpr std::array<uint8_t, 256> charClasses = MakeClasses();

// One blank-separated piece of a tag: [begin, end), its first '=' outside quotes (relative to begin)
// and whether a second one follows.
struct Piece {
    size_t begin, end, equals;
    bool moreEquals;
};

// Pieces of one tag; almost every tag fits in the fixed part.
class PieceList {
public:
    void Push(const Piece& piece) {
        if (count < fixed.size())
            fixed[count] = piece;
        else {
            if (count == fixed.size())
                spill.assign(fixed.begin(), fixed.end());
            spill.push_back(piece);
        }
        ++count;
    }
    size_t Count() const { return count; }
    void Clear() {
        spill.clear();
        count = 0;
    }
    const Piece& operator[](size_t i) const { return count <= fixed.size() ? fixed[i] : spill[i]; }

private:
    std::array<Piece, 24> fixed;
    std::vector<Piece> spill;
    size_t count = 0;
};

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

XMLTag::XMLTag(std::string name, int kind, std::vector<XMLAttribute> attributes)
    : name(std::move(name)), kind(kind), attributes(std::move(attributes)) {}

void XMLTag::Parse(const std::string& content) {
    Parse(content.data(), content.size());
}

void XMLTag::Parse(const char* data, size_t size) {
    ParseContent(data, size, size);
}

// The attribute objects already there are parsed into again, so a token reused by a reader of a
// large file keeps its strings' storage.
void XMLTag::ParseContent(const char* data, size_t size, size_t readable) {
    name.clear();
    kind = XMLTagKind::UNKNOWN;
    line = 0;

    const char* begin = data;
    const char* end = data + size;
    if (size == 0) {
        kind = XMLTagKind::START;
    } else if (data[0] == '/') {
        kind = XMLTagKind::END;
        ++begin;
    } else if (data[0] == '?' && data[size - 1] == '?') {
        kind = XMLTagKind::SYSTEM;
        if (size >= 2) {
            ++begin;
            --end;
        } else {
            begin = end;
        }
    } else if (size > 3 && data[0] == '!' && data[1] == '-' && data[2] == '-' && data[size - 2] == '-' &&
               data[size - 1] == '-') {
        // "<!--->" and "<!---->": the two dashes overlap the opening ones and the text is empty.
        kind = XMLTagKind::COMMENT;
        if (size > 5)
            name.assign(data + 3, size - 5);
        attributes.clear();
        return;
    } else if (data[0] == '!') {
        kind = XMLTagKind::DTD;
        ++begin;
    } else if (data[size - 1] == '/') {
        kind = XMLTagKind::EMPTY;
        --end;
    } else {
        kind = XMLTagKind::START;
    }
    ParseAttributes(begin, static_cast<size_t>(end - begin), readable - static_cast<size_t>(begin - data));
}

namespace {

// The pieces of a tag that uses no single quotes: double-quoted sections are found for 64 bytes at a
// time from the parity of the quotes before each position, and only the blanks and '=' outside
// them are visited. False when a single quote turns up; the caller then cuts byte by byte.
bool CutFast(const char* data, size_t size, size_t readable, PieceList& pieces) {
    using namespace CharScan;
    size_t start = 0, equals = std::string::npos;
    bool more = false;
    bool quoted = false; // a double-quoted section runs on from the previous block
    for (size_t base = 0; base < size; base += 64) {
        const Block block(data + base, size - base, readable - base);
        const TagMasks masks = ClassifyTag(block.bytes);
        const uint64_t valid = ValidBits(size - base);
        if ((masks.apostrophe & valid) != 0)
            return false;
        const uint64_t inside = PrefixXor(masks.quote & valid) ^ (quoted ? ~uint64_t{0} : 0);
        quoted = (inside >> 63) != 0;
        uint64_t blanks = masks.blank & ~inside & valid;
        uint64_t equalSigns = masks.equals & ~inside & valid;
        while (true) {
            uint64_t before = blanks != 0 ? equalSigns & Below(LowestBit(blanks)) : equalSigns;
            if (before != 0) {
                if (equals == std::string::npos) {
                    equals = base + static_cast<size_t>(LowestBit(before)) - start;
                    before &= before - 1;
                }
                more = more || before != 0;
            }
            if (blanks == 0)
                break;
            const int i = LowestBit(blanks);
            pieces.Push({start, base + static_cast<size_t>(i), equals, more});
            start = base + static_cast<size_t>(i) + 1;
            equals = std::string::npos;
            more = false;
            equalSigns = ClearThrough(equalSigns, i);
            blanks &= blanks - 1;
        }
    }
    pieces.Push({start, size, equals, more});
    return true;
}

// The same cut, byte by byte, honouring both kinds of quotes.
void CutSlow(const char* data, size_t size, PieceList& pieces) {
    size_t start = 0, equals = std::string::npos;
    bool more = false;
    for (size_t i = 0; i < size; ++i) {
        switch (charClasses[static_cast<unsigned char>(data[i])]) {
        case ORDINARY:
            break;
        case QUOTE: {
            char open = data[i];
            while (++i < size && data[i] != open) {
            }
            break;
        }
        case BLANK:
            pieces.Push({start, i, equals, more});
            start = i + 1;
            equals = std::string::npos;
            more = false;
            break;
        case EQUALS:
            if (equals == std::string::npos)
                equals = i - start;
            else
                more = true;
            break;
        }
    }
    pieces.Push({start, size, equals, more});
}

} // namespace

void XMLTag::ParseAttributes(const char* data, size_t size, size_t readable) {
    // Cut at blanks outside double or single quotes, keeping empty pieces, and note the '=' of each
    // piece on the way so that the attributes need no second search.
    PieceList pieces;
    if (!CutFast(data, size, readable, pieces)) {
        pieces.Clear();
        CutSlow(data, size, pieces);
    }
    const Piece& first = pieces[0];
    name.assign(data + first.begin, first.end - first.begin);
    attributes.resize(pieces.Count() - 1);
    for (size_t k = 1; k < pieces.Count(); ++k) {
        const Piece& piece = pieces[k];
        attributes[k - 1].ParseSplit(data + piece.begin, piece.end - piece.begin, piece.equals, piece.moreEquals);
    }
}

void XMLTag::CreateText(std::string& out) const {
    out.clear();
    AppendText(out);
}

void XMLTag::AppendText(std::string& out) const {
    const char* prefix = "<";
    const char* suffix = ">";
    switch (kind) {
    case XMLTagKind::END:
        prefix = "</";
        break;
    case XMLTagKind::EMPTY:
        suffix = "/>";
        break;
    case XMLTagKind::SYSTEM:
        prefix = "<?";
        suffix = "?>";
        break;
    case XMLTagKind::DTD:
        prefix = "<!";
        break;
    case XMLTagKind::TEXT:
        prefix = suffix = "";
        break;
    case XMLTagKind::COMMENT:
        prefix = "<!--";
        suffix = "-->";
        break;
    default:
        break;
    }
    out += prefix;
    out += name;
    for (const XMLAttribute& attribute : attributes) {
        out += ' ';
        attribute.AppendText(out);
    }
    out += suffix;
}

const XMLAttribute* XMLTag::Lookup(const std::string& attributeName) const {
    for (const XMLAttribute& attribute : attributes)
        if (attribute.name == attributeName)
            return &attribute;
    return nullptr;
}

bool XMLTag::FindAttribute(const std::string& attributeName, std::string& value) const {
    const XMLAttribute* attribute = Lookup(attributeName);
    if (attribute == nullptr)
        return false;
    value = attribute->value;
    return true;
}

std::string XMLTag::GetAttribute(const std::string& attributeName) const {
    const XMLAttribute* attribute = Lookup(attributeName);
    return attribute != nullptr ? attribute->value : std::string();
}

bool XMLTag::GetAttributeDouble(const std::string& attributeName, double& out) const {
    out = 0;
    const XMLAttribute* attribute = Lookup(attributeName);
    if (attribute == nullptr)
        return false;
    // The data file always uses '.', whatever locale the application has set. from_chars reads the
    // plain numbers the program writes several times faster and rounds as strtod does; anything
    // else it does not read whole (a '+', blanks, hex, trailing text) keeps strtod's reading.
    const std::string& text = attribute->value;
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        number = strtod_l(text.c_str(), nullptr, CLocale());
    if (number == HUGE_VAL || number == -HUGE_VAL)
        throw XMLException("Error parsing double value of the attribute!");
    out = number;
    return true;
}

bool XMLTag::GetAttributeBool(const std::string& attributeName, bool& out) const {
    out = false;
    const XMLAttribute* attribute = Lookup(attributeName);
    if (attribute == nullptr)
        return false;
    if (attribute->value == "TRUE") {
        out = true;
        return true;
    }
    return attribute->value == "FALSE";
}

} // namespace quillory
