#include "lesson/VideoLayer.h"

#include <map>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "lesson/PopupLayer.h"
#include "lesson/SFVideoPlayer.h"
#include "lesson/UnsentResults.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "net/MovieCheck.h"
#include "platform/FileUtils.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "topics/TopicManage.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

namespace {

constexpr int kPlayerZOrder = 106;
const char* const kSaveScore = "saveScore";

template <class T> T* widgetOf(engine::Node* root, const char* name) {
    return UITools::seekWidget<T>(root, name, "MovieLayer.csb");
}

std::string decimal(int value) {
    return engine::StringUtils::format("%d", value);
}

} // namespace

VideoLayer::~VideoLayer() = default;

void VideoLayer::moviePaths(int contentKind, std::string& picture, std::string& video) {
    picture.clear();
    video.clear();
    CoursewareManager* courseware = CoursewareManager::getInstance();
    FileManager* files = FileManager::getInstance();
    const std::string identify = CoursewareManager::getCurrentIdentify();
    std::string base;
    if (contentKind == 5) {
        const int index = courseware->getCoursewareIndex(identify);
        if (index > 0) {
            base = files->getSumMoviePath(courseware->currentList[static_cast<size_t>(index - 1)]);
        } else {
            const GDataManager* data = GDataManager::getInstance();
            base = data->courseTypeCode == 3 ? "movie/Login"
                                             : engine::StringUtils::format("movie/%d0000", data->gradeCode);
        }
    } else if (contentKind == 7) {
        base = files->getLecMoviePath();
    } else if (contentKind == 8) {
        base = files->getCurrentSumMoviePath();
    } else {
        engine::log("error topic type: %d", contentKind);
        return;
    }
    picture = base + ".png";
    video = base + ".mp4";
}

void VideoLayer::initRes() {
    engine::Node* root = UITools::createCsbNode("MovieLayer.csb");
    if (!root) {
        return;
    }
    addChild(root);
    const int kind = TopicManage::getInstance()->contentKind;
    std::string picture;
    std::string video;
    moviePaths(kind, picture, video);

    if (auto* still = widgetOf<engine::ui::ImageView>(root, "PerImg")) {
        still->loadTexture(picture);
        if (engine::Sprite* probe = picture.empty() ? nullptr : engine::Sprite::create(picture)) {
            still->setContentSize(probe->getContentSize() * engine::Director::getInstance()->getContentScaleFactor());
        }
    }
    // An opening whose movie is not on this computer (the lecture before was never fetched) has nothing to play:
    // no play button, and the title ribbon tells the missing file without holding up the lesson.
    if (kind == 5 && !engine::FileUtils::getInstance()->isFileExist(video)) {
        engine::log("opening movie missing: %s", video.c_str());
        if (auto* play = widgetOf<engine::ui::Widget>(root, "PlayBtn")) {
            play->setVisible(false);
        }
        showTitle(root, PlistManager::getInstance()->getText("NoFileExist"));
    } else if (!UITools::addClickListener(
                   root, [video] { playVideo(video); }, false, "BtnClick.mp3", "PlayBtn")) {
        engine::log("error widget: MovieLayer.csb PlayBtn");
    }
    if (kind == 7) {
        showTitle(root,
                  CoursewareManager::getInstance()->getCourseware(CoursewareManager::getCurrentIdentify()).LectureName);
    } else if (kind == 8) {
        if (auto* finish = widgetOf<engine::ui::Widget>(root, "FinishBtn")) {
            finish->setVisible(true);
            finish->addClickEventListener(life.guard([this](engine::Ref* sender) { saveScore(sender); }));
        }
    }
}

void VideoLayer::showTitle(engine::Node* root, const std::string& text) {
    if (auto* title = widgetOf<engine::ui::Widget>(root, "Img_Title")) {
        title->setVisible(true);
    }
    if (auto* label = widgetOf<engine::ui::Text>(root, "Text_Title")) {
        label->setString(text);
    }
}

void VideoLayer::playVideo(const std::string& path) {
    engine::Scene* scene = engine::Director::getInstance()->getRunningScene();
    if (path.empty() || !engine::FileUtils::getInstance()->isFileExist(path) || !scene) {
        TipsManager::getInstance()->showTipsByKey("NoFileExist", nullptr, nullptr);
        return;
    }
    // Checked as the opening video is: a file that does not play, or whose picture is too large, is told missing.
    MovieCheck::whenChecked(scene, path, "lesson movie", MovieCheck::Refused::KEEP, [scene, path](bool kept) {
        if (!kept) {
            TipsManager::getInstance()->showTipsByKey("NoFileExist", nullptr, nullptr);
            return;
        }
        openPlayer(scene, path);
    });
}

void VideoLayer::openPlayer(engine::Scene* scene, const std::string& path) {
    SFVideoPlayer* player = SFVideoPlayer::create();
    if (!player) {
        return;
    }
    // No end callback: the last picture stays at the end, and skip closes the player.
    player->initPlayer(path, nullptr);
    scene->addChild(player, kPlayerZOrder);
}

std::string VideoLayer::resultsText() {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    const GDataManager* data = GDataManager::getInstance();
    writer.StartArray();
    for (int i = 0; i < static_cast<int>(data->getStudents().size()); ++i) {
        const StudentRecord pupil = data->getStudent(i);
        writer.StartObject();
        writer.Key("studentId");
        writer.Int(pupil.id);
        writer.Key("isSign");
        writer.Int(pupil.isSign ? 1 : 0);
        writer.Key("score");
        writer.Int(pupil.score);
        writer.Key("gameTime");
        writer.Int(pupil.gameTime);
        writer.Key("gameScore");
        writer.Int(pupil.gameScore);
        writer.EndObject();
    }
    writer.EndArray();
    return std::string(buffer.GetString(), buffer.GetSize());
}

void VideoLayer::saveScore(engine::Ref*) {
    if (uploading) {
        return;
    }
    const GDataManager* data = GDataManager::getInstance();
    std::map<std::string, std::string> fields;
    fields["typeCode"] = decimal(data->courseTypeCode);
    fields["subjectCode"] = decimal(data->subjectCode);
    fields["gradeCode"] = decimal(data->gradeCode);
    fields["phaseCode"] = decimal(data->phaseCode);
    fields["lesson"] = decimal(data->lessonNumber);
    fields["classId"] = decimal(data->classIdSelected);
    fields["score"] = resultsText();
    HttpManager* http = HttpManager::getInstance();
    // Kept by value: a stale login takes the teacher to the login scene, and the results must outlive the page.
    const std::string teacher = http->account;
    // The 401 tip leads to login: the page is not used again.
    const auto onUnauthorized = [teacher, fields] {
        // Kept in memory when the file cannot be written: the tip asks to keep the program open.
        return PlistManager::getInstance()->getText(UnsentResults::keep(teacher, fields) ? "ScoreStr1" : "ScoreStr2");
    };
    const auto onReply = life.guard([this](const std::string& name, rapidjson::Value& reply) {
        uploading = false;
        onSaveScoreReply(name, reply);
    });
    const auto onFailure = life.guard([this](int code, const std::string& message) {
        uploading = false;
        onSaveScoreFailed(code, message);
    });
    uploading = true;
    http->sendRequest(kSaveScore, onReply, true, "union", onFailure, fields, onUnauthorized);
}

void VideoLayer::onSaveScoreReply(const std::string&, rapidjson::Value&) {
    PopupLayer* popup = PopupLayer::create();
    engine::Scene* scene = engine::Director::getInstance()->getRunningScene();
    if (!popup || !scene) {
        return;
    }
    // Over the whole lesson player: the finish view has no way back into the lecture.
    scene->addChild(popup, kPlayerZOrder);
    popup->showFinish();
}

void VideoLayer::onSaveScoreFailed(int, const std::string& message) {
    // The results stay as they are; the teacher can press the button again. The request service's text says what
    // went wrong: no answer, a bad reply, or the server's own message.
    TipsManager::getInstance()->showTips(message, nullptr, nullptr);
}
