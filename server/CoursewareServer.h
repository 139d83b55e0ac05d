// The demo courseware server: the request interface under "/api/union/<name>", the files its replies name
// under "/files/", and fault routes for tests, on 127.0.0.1.
#pragma once

#include "Accounts.h"
#include "Catalogue.h"
#include "DataFolder.h"
#include "RecordedRequest.h"
#include "RequestLog.h"
#include "Updater.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace courseware {

class CoursewareServer {
public:
    // dataDir holds the catalogue JSON files and "files/"; by default the build's "bin/server-data".
    explicit CoursewareServer(std::filesystem::path dataDir = defaultDataDir());
    ~CoursewareServer();
    CoursewareServer(const CoursewareServer&) = delete;
    CoursewareServer& operator=(const CoursewareServer&) = delete;

    static std::filesystem::path defaultDataDir();

    // Listens on 127.0.0.1:port (0 = a free port) on its own thread. Returns the bound port, -1 on failure.
    int start(int port = 0);
    void stop();
    int port() const { return _port; }
    // "http://127.0.0.1:<port>"
    std::string origin() const;
    // "http://127.0.0.1:<port>/api/": the client's base address.
    std::string baseUrl() const;

    std::vector<RecordedRequest> requests() const { return _log.requests(); }
    std::vector<ScoreSubmission> scores() const { return _log.scores(); }
    void clearRecords() { _log.clear(); }

    // Every login so far goes stale: later requests with those tokens answer 401.
    void expireLogins() { _accounts.expireAll(); }

    // Makes "version" answer this version (and url, when given) instead of the catalogue's.
    void setUpdaterVersion(std::string version, std::optional<std::string> url = std::nullopt);

private:
    using Handler = std::function<Reply(const FormFields&)>;

    void handleRequest(const std::string& name, const httplib::Request& req, httplib::Response& res);
    Reply answer(const std::string& name, const FormFields& fields, const std::string& token);

    DataFolder _data;
    Catalogue _catalogue;
    Accounts _accounts;
    Updater _updater;
    RequestLog _log;
    std::map<std::string, Handler> _handlers;
    std::unique_ptr<httplib::Server> _server;
    std::thread _thread;
    int _port = -1;
};

} // namespace courseware
