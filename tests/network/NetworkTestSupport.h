// Frame pumping and a director reset shared by the network tests.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

// Steps the director with a fixed dt until done() holds; false when the wall-clock limit passed first.
bool pumpFramesUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20));

// Steps the director a fixed number of frames.
void pumpFrames(int count);

// True while pumpFrames / pumpFramesUntil is inside a frame step.
bool isInsideFrameStep();

std::string readFile(const std::filesystem::path& path);

// Every network test starts and ends with a fresh director: its shutdown stops the HTTP client and the
// download workers.
class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
