// A lesson video page: the still of the opening, lecture or summary video with its play button; the summary page
// also uploads the class's results.
#pragma once

#include <string>

#include <rapidjson/document.h>

#include "common/BaseLayer.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
class Ref;
class Scene;
} // namespace engine

class VideoLayer : public BaseLayer {
public:
    static VideoLayer* create() { return createLayer<VideoLayer>(); }
    ~VideoLayer() override;

    void initRes() override;

    // Opens the video player over the running scene once the movie passed its check (MovieCheck), or the
    // "NoFileExist" tip when the file is missing or refused.
    static void playVideo(const std::string& path);

    // The picture and video of the content kind, without extension; both empty for a kind without a video.
    static void moviePaths(int contentKind, std::string& picture, std::string& video);

    // Sends the class's results; a press while this page's upload is out does nothing. Another sender's upload
    // (a kept one) holds nothing back.
    void saveScore(engine::Ref* sender);
    void onSaveScoreReply(const std::string& name, rapidjson::Value& data);
    void onSaveScoreFailed(int code, const std::string& message);
    // The pupils' results as the compact JSON array of the upload, in list order.
    static std::string resultsText();

private:
    // The title ribbon shown with the text.
    static void showTitle(engine::Node* root, const std::string& text);
    static void openPlayer(engine::Scene* scene, const std::string& path);

    // This page's upload is out: its results go once at a time.
    bool uploading = false;
    LifeToken life;
};
