// docs/input-limits.md, the two limit headers and the door's functions stay in step: every constant of the headers
// is in the doc with its value as the header writes it, every limit the doc names is in a header, and every door
// function the doc names is declared in the program.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

const char* const kHeaders[] = {"engine/base/InputLimits.h", "src/net/NetLimits.h"};
const char* const kDoc = "docs/input-limits.md";

std::string readSource(const std::string& relative) {
    std::ifstream in(std::string(TEST_SOURCE_DIR) + "/" + relative);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each constant of the header with its value as written, casts dropped ("64 * static_cast<int64_t>(kMiB)" is
// "64 * kMiB").
std::map<std::string, std::string> constantsOf(const std::string& header) {
    const std::string text = readSource(header);
    const std::regex constant(R"(inline\s+constexpr\s+[\w:]+\s+(k\w+)\s*=\s*([^;]+);)");
    const std::regex cast(R"(static_cast<[^>]*>\((\w+)\))");
    std::map<std::string, std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), constant), end; it != end; ++it) {
        found[(*it)[1]] = std::regex_replace((*it)[2].str(), cast, "$1");
    }
    return found;
}

TEST(LimitsDoc, EveryConstantOfTheHeadersIsInTheDocWithItsValue) {
    const std::string doc = readSource(kDoc);
    ASSERT_FALSE(doc.empty()) << kDoc;
    for (const char* header : kHeaders) {
        const auto constants = constantsOf(header);
        EXPECT_FALSE(constants.empty()) << header;
        for (const auto& [name, value] : constants) {
            const std::string written = "`" + name + "` = " + value;
            EXPECT_NE(doc.find(written), std::string::npos) << kDoc << " lacks \"" << written << "\" (" << header << ")";
        }
    }
}

TEST(LimitsDoc, EveryLimitItNamesIsInAHeader) {
    std::map<std::string, std::string> all;
    for (const char* header : kHeaders) {
        all.merge(constantsOf(header));
    }
    const std::string doc = readSource(kDoc);
    const std::regex named("`(k[A-Z]\\w*)`");
    for (std::sregex_iterator it(doc.begin(), doc.end(), named), end; it != end; ++it) {
        EXPECT_TRUE(all.count((*it)[1])) << kDoc << " names `" << (*it)[1] << "`, which neither header defines";
    }
}

TEST(LimitsDoc, EveryDoorFunctionItNamesIsDeclared) {
    std::string declarations;
    for (const char* folder : {"engine", "src"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(std::string(TEST_SOURCE_DIR) + "/" + folder)) {
            if (entry.path().extension() == ".h") {
                std::ifstream in(entry.path());
                declarations.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        }
    }
    const std::string doc = readSource(kDoc);
    const std::regex door("`((?:\\w+::)+)(\\w+)`");
    for (std::sregex_iterator it(doc.begin(), doc.end(), door), end; it != end; ++it) {
        const std::string call = (*it)[2].str() + "(";
        bool declared = false;
        for (size_t at = declarations.find(call); at != std::string::npos && !declared;
             at = declarations.find(call, at + 1)) {
            declared = at == 0 || !(std::isalnum(static_cast<unsigned char>(declarations[at - 1])) ||
                                    declarations[at - 1] == '_');
        }
        EXPECT_TRUE(declared)
            << kDoc << " names " << (*it)[0] << ", but no header declares " << (*it)[2] << "()";
    }
}

} // namespace
