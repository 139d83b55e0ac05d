// The client of the server's JSON interface: posts named requests and routes each reply to its callback.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <rapidjson/document.h>

#include "base/Ref.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
namespace network {
class HttpClient;
class HttpRequest;
class HttpResponse;
} // namespace network
} // namespace engine

using HttpSuccessCallback = std::function<void(const std::string& name, rapidjson::Value& data)>;
using HttpFailureCallback = std::function<void(int32_t code, const std::string& message)>;
// Runs on a 401 reply before the way back to login; a non-empty text it returns replaces the tip's.
using HttpUnauthorizedCallback = std::function<std::string()>;
// Shared by requests whose replies stop being wanted together (a round of them): once it is set, those not sent
// yet are dropped, one under way is stopped, and no callback of theirs runs.
using HttpDropFlag = std::shared_ptr<std::atomic<bool>>;

class HttpManager : public engine::Ref {
public:
    static HttpManager* getInstance();
    // Drops the singleton (tests); replies still in flight then reach nobody.
    static void destroyInstance();
    virtual bool init();

    // Wrap callbacks that belong to an object with its LifeToken::guard, so a late reply finds nobody. The reply
    // goes only to the callbacks given with its own request, never to those of another request of the same name.
    void sendRequest(const std::string& name, const HttpSuccessCallback& onSuccess, bool closeLoading,
                     const std::string& module, const HttpFailureCallback& onFailure,
                     std::map<std::string, std::string> fields,
                     const HttpUnauthorizedCallback& onUnauthorized = nullptr, const HttpDropFlag& dropFlag = nullptr);
    void showLoading();
    // Removes the loading panel now, whatever the flag (a scene that goes away while it is shown).
    void removeLoading();
    engine::Node* getLoadingPanel() const { return loadingPanel; }
    // A request of that name was sent and its reply has not come back yet, whatever happened to the shared panel.
    bool isAwaitingReply(const std::string& name) const { return inFlight.count(name) != 0; }

    // "k=v&k=v" in key order, keys and values percent-encoded as a form.
    static std::string encodeForm(const std::map<std::string, std::string>& fields);

    std::string token;
    // The account name the token was issued to.
    std::string account;
    std::string baseUrl;

private:
    HttpManager() = default;
    ~HttpManager() override;

    // A request with the token header and the address of the name; the sender gives its body and callback.
    engine::network::HttpRequest* createRequest(const std::string& name, int type, const std::string& module);

    // What one request's reply reaches.
    struct Callbacks {
        HttpSuccessCallback onSuccess;
        HttpFailureCallback onFailure;
        HttpUnauthorizedCallback onUnauthorized;
    };

    void completeReply(engine::network::HttpResponse* response, const std::string& name, const Callbacks& callbacks);
    // The failure callback when there is one, else the tip with the message.
    static void fail(const HttpFailureCallback& onFailure, int32_t code, const std::string& message);
    // The 401 tip, with the text the request's hook returns if any; either button leads to login.
    static void refuseLogin(const HttpUnauthorizedCallback& onUnauthorized, const std::string& message);
    void endFlight(const std::string& name);

    engine::Node* loadingPanel = nullptr; // retained while shown, so it never dangles
    // Requests sent under each name whose reply has not come back; a name leaves the map at zero.
    std::map<std::string, int> inFlight;
    // The last request's wish: whether its reply removes the loading panel.
    bool closeLoadingOnReply = true;
    // Replies of requests sent before destroyInstance find it gone.
    LifeToken life;
};
