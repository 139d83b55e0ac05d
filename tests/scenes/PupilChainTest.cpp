#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include <rapidjson/document.h>

#include "base/Director.h"
#include "common/GDataManager.h"
#include "net/FileManager.h"
#include "render/TextureCache.h"
#include "scenes/PupilChain.h"
#include "support/ClientTest.h"

namespace {

// pupils entries of a "getStudentList" reply; a pupil has the head "h<n>.png" when withHeads.
rapidjson::Document classReply(int pupils, const std::string& origin, bool withHeads) {
    std::string text = "[";
    for (int i = 0; i < pupils; ++i) {
        const std::string pic = withHeads ? origin + "/files/heads/h" + std::to_string(i) + ".png" : "";
        text +=
            (i ? ",{" : "{") + std::string("\"id\":") + std::to_string(i + 1) + ",\"sex\":1,\"pic\":\"" + pic + "\"}";
    }
    rapidjson::Document reply;
    reply.Parse((text + "]").c_str());
    return reply;
}

struct HeadsCase {
    const char* name;
    int pupils;
    int side;
};

class PupilChainHeads : public support::ClientTest, public ::testing::WithParamInterface<HeadsCase> {};

// Every head on disk is asked for at once, so no frame waits for the next head; the pupils still come in order.
TEST_P(PupilChainHeads, AllHeadsAreCheckedTogetherAndThePupilsKeepTheirOrder) {
    const HeadsCase row = GetParam();
    const std::string folder = FileManager::getInstance()->getHeadImgsPath();
    SDL_Surface* head = SDL_CreateRGBSurfaceWithFormat(0, row.side, row.side, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(head, nullptr, SDL_MapRGBA(head->format, 200, 160, 120, 255));
    IMG_SavePNG(head, (folder + "h0.png").c_str());
    SDL_FreeSurface(head);
    for (int i = 1; i < row.pupils; ++i) {
        std::filesystem::copy_file(folder + "h0.png", folder + "h" + std::to_string(i) + ".png");
    }
    GDataManager::getInstance()->students.clear();
    const rapidjson::Document reply = classReply(row.pupils, server.origin(), true);

    PupilChain chain;
    bool done = false;
    chain.start(reply, [&done] { done = true; });
    EXPECT_EQ(engine::Director::getInstance()->getTextureCache()->getAsyncLoadCount(), static_cast<size_t>(row.pupils));
    ASSERT_TRUE(waitFor([&done] { return done; }));
    const auto& pupils = GDataManager::getInstance()->students;
    ASSERT_EQ(pupils.size(), static_cast<size_t>(row.pupils));
    for (int i = 0; i < row.pupils; ++i) {
        EXPECT_EQ(pupils[i].number, i + 1);
        EXPECT_EQ(pupils[i].headImage, "h" + std::to_string(i) + ".png");
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, PupilChainHeads,
                         ::testing::Values(HeadsCase{"FortyLargeHeads", 40, 1024}, HeadsCase{"NineSmallHeads", 9, 96}),
                         [](const auto& info) { return std::string(info.param.name); });

class PupilChainTest : public support::ClientTest {};

// Pupils without a picture once recursed a frame each on the same stack: 12,000 overflowed it.
TEST_F(PupilChainTest, AClassOfTwelveThousandWithoutPicturesIsReadInOneCall) {
    GDataManager::getInstance()->students.clear();
    const rapidjson::Document reply = classReply(12000, server.origin(), false);
    PupilChain chain;
    bool done = false;
    chain.start(reply, [&done] { done = true; });
    EXPECT_TRUE(done);
    ASSERT_EQ(GDataManager::getInstance()->students.size(), 12000u);
    EXPECT_EQ(GDataManager::getInstance()->students.back().headImage, "HeadImg1.png");
}

} // namespace
