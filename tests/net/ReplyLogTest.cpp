#include <gtest/gtest.h>

#include <string>

#include "net/ReplyLog.h"

TEST(ReplyLog, HidesTokensAndKeepsOnlyTheStart) {
    const struct {
        const char* name;
        std::string text, token, shown;
        size_t maxBytes;
    } cases[] = {
        {"token member", R"({"data":{"token":"abc123","logo":"x"}})", "", R"({"data":{"token":"***","logo":"x"}})",
         1024},
        {"spaces and escapes", R"({"token" : "a\"b\\"})", "", R"({"token" : "***"})", 1024},
        {"a number is no token", R"({"token":5})", "", R"({"token":5})", 1024},
        {"known token elsewhere", R"({"echo":"xyz-tok"})", "xyz-tok", R"({"echo":"***"})", 1024},
        {"token of stars", R"({"a":"*"})", "*", R"({"a":"***"})", 1024},
        {"cut with its length", std::string(3000, 'a'), "", std::string(1024, 'a') + "... (3000 bytes)", 1024},
        {"cut before a split character",
         "ab\xE7\x8F\xAD"
         "cd",
         "", "ab... (7 bytes)", 4},
        {"unclosed token at the end", R"({"token":"abc)", "", R"({"token":"***)", 1024},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(replyForLog(c.text, c.token, c.maxBytes), c.shown) << c.name;
    }
}
