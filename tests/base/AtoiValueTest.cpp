#include "base/AtoiValue.h"

#include <QString>

#include <climits>
#include <gtest/gtest.h>

TEST(AtoiValue, ReadsLikeAtoi)
{
    const struct {
        const char16_t *text;
        int value;
    } cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"-", 0},
        {u"+", 0},
        {u"- 5", 0},
        {u"256", 256},
        {u"-1", -1},
        {u"+7", 7},
        {u"  -12abc", -12},
        {u" \t\r\n\v\f9x", 9},
        {u"0042", 42},
        {u"12 34", 12},
        {u"1e3", 1},
        {u"\u00a05", 0}, // only ASCII blanks are skipped
        {u"\uff15", 0},  // a full-width digit is no digit
        {u"2147483647", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"2147483648", INT_MAX},
        {u"-2147483649", INT_MIN},
        {u"99999999999", INT_MAX},
        {u"-99999999999", INT_MIN},
        {u"000000000000000000000000000001", 1},
        {u"123456789012345678901234567890", INT_MAX},
    };
    for (const auto &c : cases)
        EXPECT_EQ(atoiValue(QStringView(c.text)), c.value)
            << QString::fromUtf16(c.text).toStdString();
}
