#include "journal_escape.h"

namespace brevanto::standin {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, unsigned value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kHexDigits[(value >> shift) & 0xF];
}

} // namespace

std::string EscapeForJournal(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        switch (unit) {
        case u'\\':
            out += "\\\\";
            break;
        case u'"':
            out += "\\\"";
            break;
        case u'\t':
            out += "\\t";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\n':
            out += "\\n";
            break;
        default:
            if (unit >= 0x80) {
                // Surrogate halves are spelled one by one: the journal shows what was passed,
                // even when the pair is broken.
                out += "\\u";
                AppendHex(out, unit, 4);
            } else if (unit < 0x20 || unit == 0x7F) {
                out += "\\x";
                AppendHex(out, unit, 2);
            } else {
                out += static_cast<char>(unit);
            }
        }
    }
    return out;
}

std::string QuoteForJournal(std::u16string_view text) {
    return '"' + EscapeForJournal(text) + '"';
}

} // namespace brevanto::standin
