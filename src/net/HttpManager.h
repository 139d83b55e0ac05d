// The client of the server's JSON interface: posts named requests and routes each reply to its callback.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
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

class HttpManager : public engine::Ref {
public:
    static HttpManager* getInstance();
    // Drops the singleton (tests); replies still in flight then reach nobody.
    static void destroyInstance();
    virtual bool init();

    // Wrap callbacks that belong to an object with its LifeToken::guard, so a late reply finds nobody. The reply
    // goes to the callbacks given with its own request, not to those of a later request of the same name.
    void sendRequest(const std::string& name, const HttpSuccessCallback& onSuccess, bool closeLoading,
                     const std::string& module, const HttpFailureCallback& onFailure,
                     std::map<std::string, std::string> fields);
    // Kept for the request name until replaced; null removes it.
    void setUnauthorizedCallback(const std::string& name, const HttpUnauthorizedCallback& callback);
    engine::network::HttpRequest* createRequest(const std::string& name, int type, const std::string& module);
    // Hands the reply to the callbacks last given for the name.
    void onHttpRequestCompleted(engine::network::HttpClient* client, engine::network::HttpResponse* response,
                                const std::string& name);
    void onRequestFailed(int32_t code, const std::string& name, const std::string& message);
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
    bool closeLoadingOnReply = true;

private:
    HttpManager() = default;
    ~HttpManager() override;

    void completeReply(engine::network::HttpResponse* response, const std::string& name,
                       const HttpSuccessCallback& onSuccess, const HttpFailureCallback& onFailure);
    // The failure callback when there is one, else the tip with the message.
    static void fail(const HttpFailureCallback& onFailure, int32_t code, const std::string& message);
    void endFlight(const std::string& name);
    HttpFailureCallback failureCallbackFor(const std::string& name) const;

    engine::Node* loadingPanel = nullptr; // retained while shown, so it never dangles
    std::map<std::string, HttpSuccessCallback> successCallbacks;
    std::map<std::string, HttpFailureCallback> failureCallbacks;
    std::map<std::string, HttpUnauthorizedCallback> unauthorizedCallbacks;
    // Requests sent under each name whose reply has not come back; a name leaves the map at zero.
    std::map<std::string, int> inFlight;
    // Replies of requests sent before destroyInstance find it gone.
    LifeToken life;
};
