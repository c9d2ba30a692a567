#include "base/Language.h"

#include <gtest/gtest.h>

// BRIVANE_LANG first, then the GUI's stored choice; a value that names no
// language of ours counts as not given.
TEST(Language, TheVariableOverridesTheStoredChoice)
{
    const QByteArray saved = qgetenv("BRIVANE_LANG");
    const struct {
        const char *variable; // nullptr: unset
        const char *stored;
        Language expected;
    } cases[] = {
        {"en", "zh_CN", Language::English}, {"zh_CN", "en", Language::Chinese},
        {"EN", "", Language::English},      {nullptr, "en", Language::English},
        {"", "zh_CN", Language::Chinese},   {"fr", "en", Language::English},
        {"de", "zh-CN", Language::Chinese},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.variable ? c.variable : "(unset)") << " / " << c.stored);
        if (c.variable)
            qputenv("BRIVANE_LANG", c.variable);
        else
            qunsetenv("BRIVANE_LANG");
        EXPECT_EQ(chooseLanguage(QString::fromLatin1(c.stored)), c.expected);
    }
    qputenv("BRIVANE_LANG", saved);
}
