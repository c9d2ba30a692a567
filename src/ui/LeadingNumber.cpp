#include "ui/LeadingNumber.h"

#include <climits>

int readLeadingInt(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r' ||
                     text[i] == u'\v' || text[i] == u'\f'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate as a negative number so that INT_MIN fits.
    long long value = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 - (text[i].unicode() - u'0');
        if (value < INT_MIN) {
            value = INT_MIN;
            // Skip the remaining digits; the result is already saturated.
            while (i < n && text[i] >= u'0' && text[i] <= u'9')
                ++i;
            break;
        }
    }
    if (negative)
        return int(value);
    return value < -INT_MAX ? INT_MAX : int(-value);
}
