#include "base/AtoiValue.h"

#include <climits>
#include <cstdint>

int atoiValue(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isBlank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (i < n && isBlank(text[i].unicode()))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing once it is past
    // the int range, so arbitrarily long digit runs cannot overflow.
    constexpr int64_t cap = int64_t(INT_MAX) + 1;
    int64_t magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        if (magnitude <= cap)
            magnitude = magnitude * 10 + (c - u'0');
    }
    if (negative)
        return magnitude >= cap ? INT_MIN : int(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : int(magnitude);
}
