// A file reader and a director reset shared by the network tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

std::string readFile(const std::filesystem::path& path);

// Every network test starts and ends with a fresh director: its shutdown stops the HTTP client and the
// download workers.
class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
