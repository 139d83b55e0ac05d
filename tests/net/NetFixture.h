// A program folder in a scratch directory: the resource root and the search paths point there for one test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Headless.h"

namespace nettest {

class NetFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program folder, with a trailing "/".
    std::string programFolder() const { return scratch.path() + "/"; }
    std::string netRes() const { return programFolder() + "res/NetRes/"; }
    // A test that expects a tip or a refusal while it waits says so (see support::FailureEvents).
    void expectTip(const std::string& text = "") { failures.expectedTips.push_back(text); }
    void expectRefusal() { failures.refusalExpected = true; }
    // Log lines containing text since the test began.
    int countLogLines(const std::string& text) const;
    // As the lecture scenes judge a package: a row with its identify code and its folder.
    bool readsAsReady(const std::string& identify) const;

    support::ScratchDir scratch;
    std::vector<std::string> logLines;
    support::FailureEvents failures;

private:
    std::string _oldRoot;
    std::vector<std::string> _oldSearchPaths;
};

} // namespace nettest
