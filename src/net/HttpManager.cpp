#include "net/HttpManager.h"

#include <new>

#include "base/Director.h"
#include "base/Log.h"
#include "common/BaseScene.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/SFAnimation.h"
#include "common/TipsManager.h"
#include "common/Routes.h"
#include "common/UITools.h"
#include "net/NetLimits.h"
#include "net/ReplyDoor.h"
#include "net/ReplyLog.h"
#include "network/HttpClient.h"
#include "network/HttpRequest.h"
#include "network/HttpResponse.h"
#include "scene/Scene.h"

using engine::network::HttpClient;
using engine::network::HttpRequest;
using engine::network::HttpResponse;

namespace {

HttpManager* s_instance = nullptr;

constexpr int kLoadingZOrder = 105;

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

void appendEncoded(std::string& out, const std::string& text) {
    static const char* const kHex = "0123456789ABCDEF";
    for (unsigned char c : text) {
        if (isUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
}

// The reply's "code" or "status": missing or null reads 0, any other non-integer is a failure.
bool readReplyInt(const rapidjson::Value& document, const char* key, int& out) {
    out = 0;
    auto it = document.FindMember(key);
    if (it == document.MemberEnd() || it->value.IsNull()) {
        return true;
    }
    if (!it->value.IsInt()) {
        engine::log("error json int: %s", key);
        return false;
    }
    out = it->value.GetInt();
    return true;
}

// "HttpStr2" holds one "%s" for the request name; the text is never used as a format.
std::string badReplyText(const std::string& name) {
    std::string text = PlistManager::getInstance()->getText("HttpStr2");
    const size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, name);
    }
    return text;
}

// The reply's "msg" when it is a non-empty string, else our own text: a tip is never empty.
std::string replyMessage(const rapidjson::Value& document, const std::string& name) {
    auto it = document.FindMember("msg");
    if (it != document.MemberEnd() && it->value.IsString() && it->value.GetStringLength() > 0) {
        return std::string(it->value.GetString(), it->value.GetStringLength());
    }
    return badReplyText(name);
}

} // namespace

HttpManager* HttpManager::getInstance() {
    if (!s_instance) {
        auto* manager = new (std::nothrow) HttpManager();
        if (manager && !manager->init()) {
            delete manager;
            manager = nullptr;
        }
        s_instance = manager;
    }
    return s_instance;
}

void HttpManager::destroyInstance() {
    if (s_instance) {
        s_instance->release();
        s_instance = nullptr;
    }
}

HttpManager::~HttpManager() {
    removeLoading();
}

bool HttpManager::init() {
    loadingPanel = nullptr;
    PlistManager* plist = PlistManager::getInstance();
    const std::string domain = plist->getString("Configs.plist", "DomainType");
    baseUrl = domain.empty() ? std::string() : plist->getString("Configs.plist", domain);
    return true;
}

std::string HttpManager::encodeForm(const std::map<std::string, std::string>& fields) {
    std::string body;
    for (const auto& [key, value] : fields) {
        appendEncoded(body, key);
        body += '=';
        appendEncoded(body, value);
        body += '&';
    }
    if (!body.empty()) {
        body.pop_back();
    }
    return body;
}

void HttpManager::sendRequest(const std::string& name, const HttpSuccessCallback& onSuccess, bool closeLoading,
                              const std::string& module, const HttpFailureCallback& onFailure,
                              std::map<std::string, std::string> fields, const HttpUnauthorizedCallback& onUnauthorized,
                              const HttpDropFlag& dropFlag) {
    showLoading();
    closeLoadingOnReply = closeLoading;
    HttpRequest* request = createRequest(name, static_cast<int>(HttpRequest::Type::POST), module);
    const std::string body = encodeForm(fields);
    request->setRequestData(body.data(), body.size());
    request->setDropFlag(dropFlag);
    // This request's own callbacks: a reply never reaches those of another request of the same name.
    request->setResponseCallback(life.guard(
        [this, name, callbacks = Callbacks{onSuccess, onFailure, onUnauthorized}](HttpClient*, HttpResponse* response) {
            endFlight(name);
            if (response->getHttpRequest()->isDropped()) {
                engine::log("%s dropped: its reply is no longer wanted", name.c_str());
                return;
            }
            completeReply(response, name, callbacks);
        }));
    ++inFlight[name];
    HttpClient::getInstance()->send(request);
    request->release();
}

HttpRequest* HttpManager::createRequest(const std::string& name, int type, const std::string& module) {
    auto* request = new HttpRequest();
    request->setHeaders({"token:" + token});
    request->setUrl(baseUrl + module + "/" + name);
    request->setRequestType(static_cast<HttpRequest::Type>(type));
    request->setTag(name.c_str());
    request->setMaxResponseSize(netlimits::kReplyBytes);
    return request;
}

void HttpManager::endFlight(const std::string& name) {
    auto pending = inFlight.find(name);
    if (pending != inFlight.end() && --pending->second <= 0) {
        inFlight.erase(pending);
    }
}

void HttpManager::showLoading() {
    removeLoading();
    engine::Scene* scene = engine::Director::getInstance()->getRunningScene();
    if (!scene) {
        engine::log("no running scene: loading panel skipped");
        return;
    }
    engine::Node* panel = UITools::createCsbNode("Panels.csb");
    if (!panel) {
        return;
    }
    panel->retain();
    loadingPanel = panel;
    panel->setLocalZOrder(kLoadingZOrder);
    scene->addChild(panel);
    engine::Node* panel1 = UITools::seekChildByName(panel, "Panel1");
    if (!panel1) {
        engine::log("error loading panel widget: Panel1");
        return;
    }
    panel1->setVisible(true);
    engine::Node* posNode = UITools::seekChildByName(panel1, "PosNode");
    if (!posNode) {
        engine::log("error loading panel widget: PosNode");
        return;
    }
    posNode->setPositionY(posNode->getPositionY() + GDataManager::getInstance()->screenOffsetY);
    SFAnimation::getInstance()->playAnimationAtNode(posNode, "NetLoading", true, nullptr, false, 0, 0);
}

void HttpManager::removeLoading() {
    if (!loadingPanel) {
        return;
    }
    engine::Node* panel = loadingPanel;
    loadingPanel = nullptr;
    panel->removeFromParentAndCleanup(true);
    panel->release();
}

void HttpManager::completeReply(HttpResponse* response, const std::string& name, const Callbacks& callbacks) {
    const HttpFailureCallback& onFailure = callbacks.onFailure;
    if (closeLoadingOnReply) {
        removeLoading();
    }
    if (!response) {
        engine::log("no request for success!!!!!");
        return;
    }
    const long status = response->getResponseCode();
    if (response->isTooLarge()) {
        engine::log("error reply to %s: longer than %zu bytes", name.c_str(), netlimits::kReplyBytes);
        fail(onFailure, static_cast<int32_t>(status), badReplyText(name));
        return;
    }
    if (!response->isSucceed()) {
        // libcurl's own words go to the log only; the teacher reads ours. An HTTP error status (a redirect, a
        // refusal, a proxy's 502) or a dropped connection is told like an unreadable reply, never in silence.
        engine::log("error buffer: %s", response->getErrorBuffer());
        fail(onFailure, static_cast<int32_t>(status),
             status == -1 ? PlistManager::getInstance()->getText("HttpStr1") : badReplyText(name));
        return;
    }
    const std::vector<char>* bytes = response->getResponseData();
    const std::string text(bytes->begin(), bytes->end());
    rapidjson::Document document = ReplyDoor::parse(text, ReplyDoor::kindOf(name));
    if (!document.IsObject()) {
        // Unreadable: the sender's failure callback hears of it as of a failed transfer.
        fail(onFailure, static_cast<int32_t>(status), badReplyText(name));
        return;
    }
    engine::logDebug("request http response : %s", replyForLog(text, token).c_str());

    int code = 0;
    int replyStatus = 0;
    const bool typesOk = readReplyInt(document, "code", code) && readReplyInt(document, "status", replyStatus);
    if (typesOk && code == 0 && replyStatus == 0) {
        if (callbacks.onSuccess) {
            rapidjson::Value null;
            auto data = document.FindMember("data");
            callbacks.onSuccess(name, data != document.MemberEnd() ? data->value : null);
        }
        return;
    }
    const std::string message = replyMessage(document, name);
    if (typesOk && code == 401) {
        refuseLogin(callbacks.onUnauthorized, message);
        return;
    }
    fail(onFailure, code, message);
}

void HttpManager::refuseLogin(const HttpUnauthorizedCallback& onUnauthorized, const std::string& message) {
    const std::string text = onUnauthorized ? onUnauthorized() : std::string();
    // On the login screen already: another login scene would only ask again ("version" at its entry).
    const bool onLogin = BaseScene::loginShows();
    TipsManager::getInstance()->showTips(text.empty() ? message : text, onLogin ? nullptr : Routes::toLogin,
                                         onLogin ? nullptr : Routes::toLogin);
}

void HttpManager::fail(const HttpFailureCallback& onFailure, int32_t code, const std::string& message) {
    if (onFailure) {
        HttpFailureCallback callback = onFailure;
        callback(code, message);
        return;
    }
    TipsManager::getInstance()->showTips(message, nullptr, nullptr);
}
