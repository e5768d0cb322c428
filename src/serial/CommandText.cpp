#include "serial/CommandText.h"

#include "platform/RuntimeError.h"
#include "settings/mdlLoadSetup.h"

#include <cmath>

namespace kelvarin::ModTrans {

namespace {

constexpr std::size_t kNone = std::string::npos;

// Like the field rule's search: the first blank at or after `from`; none, or a blank right at
// `from`, counts as the end of the text.
std::size_t fieldEnd(const std::string& text, std::size_t from) {
    const std::size_t blank = from < text.size() ? text.find(' ', from) : kNone;
    return blank == kNone || blank == from ? text.size() : blank;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::int16_t LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    double value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1e6)
            throw RuntimeError(kErrOverflow);
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && isDigit(text[i]); ++i, scale /= 10)
            value += (text[i] - '0') * scale;
    }
    const double rounded = std::nearbyint(negative ? -value : value);
    if (rounded < -32768.0 || rounded > 32767.0)
        throw RuntimeError(kErrOverflow);
    return static_cast<std::int16_t>(rounded);
}

CommandFields SplitCommandText(const std::string& text) {
    CommandFields fields;
    const std::size_t firstBlank = text.find(' ');
    const std::size_t p1 = firstBlank == kNone ? text.size() : firstBlank;
    fields.number = LeadingNumber(text.substr(0, p1));

    const std::size_t q = p1 + 1;
    const std::size_t p2 = fieldEnd(text, q);
    if (p2 <= q)
        return fields;
    fields.fileName = mdlLoadSetup::TrimBlanks(text.substr(q, p2 - q));

    const std::size_t r = p2 + 1;
    const std::size_t p3 = fieldEnd(text, r);
    if (p3 > r)
        fields.timeoutSecs = LeadingNumber(text.substr(r, p3 - r));
    return fields;
}

} // namespace kelvarin::ModTrans
