#include "NetworkTestSupport.h"

#include <fstream>
#include <sstream>

#include "base/Director.h"

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void NetworkTest::SetUp() {
    engine::Director::getInstance()->reset();
}

void NetworkTest::TearDown() {
    engine::Director::getInstance()->reset();
}
