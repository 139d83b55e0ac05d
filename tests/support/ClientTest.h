// Fixture for client tests against the demo server: a headless director, a program folder in a scratch
// directory (its "res/" is the writable resource root) with the resource pack searched behind it, the courseware
// server on a free loopback port with the request service pointed at it, and the log captured.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CoursewareServer.h"
#include "support/Headless.h"

namespace support {

class ClientTest : public HeadlessTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program folder, with a trailing "/".
    std::string programFolder() const { return scratch.path() + "/"; }
    std::string resRoot() const { return programFolder() + "res/"; }

    // support::waitFor: steps frames until the condition holds (replies and downloads take real time, however fast
    // the frames go); false when the guard passed first.
    static bool waitFor(const std::function<bool()>& condition, double guardSeconds = kWaitGuardSeconds);

    // A test that expects a tip while it waits says so: a tip whose text holds `text` ("" for any) then does not
    // end the waits; any other ends them as a failure naming its text.
    void expectTip(const std::string& text = "") { _failures.expectedTips.push_back(text); }
    // Likewise for a refusal in the log.
    void expectRefusal() { _failures.refusalExpected = true; }

    bool logged(const std::string& text) const { return countLogged(text) > 0; }
    // The text of the tip dialog on the running scene; "" when none shows.
    static std::string tipText();
    int countLogged(const std::string& text) const;
    // What the server received under that request name, in order.
    std::vector<courseware::RecordedRequest> requestsNamed(const std::string& name) const;
    // Logs the demo teacher in through the request service and stores the token, as the login chain does.
    void logIn(const std::string& user = "teacher", const std::string& password = "1234");
    // A base address on which nothing listens (the request fails with no HTTP answer).
    static std::string closedBaseUrl();

    ScratchDir scratch;
    courseware::CoursewareServer server;
    std::vector<std::string> logLines;

private:
    FailureEvents _failures;
    std::string _oldRoot;
    std::vector<std::string> _oldSearchPaths;
};

} // namespace support
