#include "CoursewareServer.h"

#include "FaultRoutes.h"
#include "FileRoutes.h"
#include "RequestTable.h"

#include <httplib.h>

#include <chrono>

namespace courseware {

namespace {

constexpr int kUnknownRequest = 404;
constexpr int kBadRequest = 2;
constexpr int kNotLoggedIn = 401;

RecordedRequest record(const httplib::Request& req, const std::string& name, const FormFields& fields) {
    return {name, fields, req.get_header_value("token"), req.body};
}

} // namespace

CoursewareServer::CoursewareServer(std::filesystem::path dataDir)
    : _data(std::move(dataDir)), _catalogue(_data), _accounts(_data), _updater(_data) {
    _handlers = {
        {"login", [this](const FormFields& f) { return _accounts.login(f); }},
        {"getUI", [this](const FormFields& f) { return _accounts.getUI(f); }},
        {"getCourseIcon", [this](const FormFields& f) { return _catalogue.getCourseIcon(f); }},
        {"getCoursePermission", [this](const FormFields& f) { return _catalogue.getCoursePermission(f); }},
        {"getClassList", [this](const FormFields& f) { return _catalogue.getClassList(f); }},
        {"getCourseList", [this](const FormFields& f) { return _catalogue.getCourseList(f); }},
        {"getCourseFileList", [this](const FormFields& f) { return _catalogue.getCourseFileList(f); }},
        {"getStudentList", [this](const FormFields& f) { return _catalogue.getStudentList(f); }},
        {"getCourseQuestionList", [this](const FormFields& f) { return _catalogue.getCourseQuestionList(f); }},
        {"saveScore", [](const FormFields&) { return Reply::ok(); }}, // recorded by handleRequest
        {"version", [this](const FormFields& f) { return _updater.version(f); }},
    };
}

CoursewareServer::~CoursewareServer() {
    stop();
}

std::filesystem::path CoursewareServer::defaultDataDir() {
    return COURSEWARE_SERVER_DATA_DIR;
}

int CoursewareServer::start(int port) {
    if (_server) {
        return _port;
    }
    auto server = std::make_unique<httplib::Server>();
    // SO_REUSEADDR only: httplib's default SO_REUSEPORT would let a second server share a busy port.
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server->Post(R"(/api/union/([^/]+))", [this](const httplib::Request& req, httplib::Response& res) {
        handleRequest(req.matches[1], req, res);
    });
    FileRoutes::install(*server, _data);
    FaultRoutes::install(
        *server, _data,
        [this](const httplib::Request& req, const std::string& name) {
            _log.addRequest(record(req, name, FormBody::parse(req.body).fields()));
        },
        [this](const std::string& name, const httplib::Request& req, httplib::Response& res) {
            handleRequest(name, req, res);
        });
    int bound =
        port == 0 ? server->bind_to_any_port("127.0.0.1") : (server->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) {
        return -1;
    }
    _port = bound;
    _server = std::move(server);
    _thread = std::thread([server = _server.get()] { server->listen_after_bind(); });
    // stop() does nothing until the accept loop runs.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!_server->is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    return _port;
}

void CoursewareServer::stop() {
    if (!_server) {
        return;
    }
    _server->stop();
    if (_thread.joinable()) {
        _thread.join();
    }
    _server.reset();
    _port = -1;
}

std::string CoursewareServer::origin() const {
    return "http://127.0.0.1:" + std::to_string(_port);
}

std::string CoursewareServer::baseUrl() const {
    return origin() + "/api/";
}

void CoursewareServer::setUpdaterVersion(std::string version, std::optional<std::string> url) {
    _updater.offer(std::move(version), std::move(url));
}

void CoursewareServer::handleRequest(const std::string& name, const httplib::Request& req, httplib::Response& res) {
    FormBody body = FormBody::parse(req.body);
    RecordedRequest request = record(req, name, body.fields());
    _log.addRequest(request);
    Reply reply = body.ok() ? answer(name, body.fields(), request.token) : Reply::error(kBadRequest, body.error());
    if (name == "saveScore" && reply.code() == 0) {
        _log.addScore({request, ScoreText::parse(request.field("score")).rows()});
    }
    res.set_content(reply.toJson(origin()), "application/json");
}

Reply CoursewareServer::answer(const std::string& name, const FormFields& fields, const std::string& token) {
    const RequestSpec* spec = RequestTable::find(name);
    auto handler = _handlers.find(name);
    if (!spec || handler == _handlers.end()) {
        return Reply::error(kUnknownRequest, "Unknown request \"" + name + "\".");
    }
    if (spec->needsToken && !_accounts.isLive(token)) {
        return Reply::error(kNotLoggedIn, "Your session has ended. Please log in again.");
    }
    std::string problem = RequestTable::check(*spec, fields);
    if (!problem.empty()) {
        return Reply::error(kBadRequest, problem);
    }
    return handler->second(fields);
}

} // namespace courseware
