#pragma once

#include <QString>

// How long the texts of a record may be, and how a longer text is cut to fit.
namespace TextLimits {

// The columns Bemerkung and Bemerkung2 hold this many characters.
constexpr int remarkLength = 50;

// The first `length` characters of text. A character outside the Basic Multilingual Plane
// counts as one and is never cut in half, which would leave a lone surrogate that the
// database stores as a replacement character instead of the text.
inline QString firstCharacters(const QString &text, int length)
{
    qsizetype end = 0;
    for (int count = 0; count < length && end < text.size(); ++count)
        end += (text.at(end).isHighSurrogate() && end + 1 < text.size()
                && text.at(end + 1).isLowSurrogate())
            ? 2
            : 1;
    return text.left(end);
}

} // namespace TextLimits
