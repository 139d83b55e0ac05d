#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/Director.h"
#include "base/InputLimits.h"
#include "common/BaseScene.h"
#include "net/BackManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"
#include "render/TextureCache.h"
#include "support/ClientTest.h"

namespace fs = std::filesystem;

namespace {

void touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

class BackManagerTest : public support::ClientTest {
protected:
    void SetUp() override {
        support::ClientTest::SetUp();
        support::runScene(BaseScene::create());
        BackManager::getInstance()->logoCallback = nullptr;
    }
    void TearDown() override {
        BackManager::getInstance()->logoCallback = nullptr;
        support::ClientTest::TearDown();
    }
};

TEST(UpdaterVersion, ComparesPartByPartWhenThePartsMatch) {
    EXPECT_TRUE(BackManager::isNewerVersion("1.2.10", "1.2.9"));
    EXPECT_TRUE(BackManager::isNewerVersion("1.10", "1.9"));
    EXPECT_TRUE(BackManager::isNewerVersion("2.0.0", "1.9.9"));
    EXPECT_FALSE(BackManager::isNewerVersion("1.0.5", "1.2.0"));
    EXPECT_FALSE(BackManager::isNewerVersion("1.2", "1.2.0"));
    EXPECT_FALSE(BackManager::isNewerVersion("1.3", "1.2.0"));
    EXPECT_FALSE(BackManager::isNewerVersion("1.2.0", "1.2.0"));
    EXPECT_FALSE(BackManager::isNewerVersion("", ""));
    EXPECT_FALSE(BackManager::isNewerVersion("", "1.0.0"));
}

TEST_F(BackManagerTest, RemovesTheConfiguredAndGeneratedLeftovers) {
    const fs::path res = resRoot();
    touch(res / "NetRes/obsolete.plist");
    touch(res / "NetRes/Obsolete/inner/file.png");
    touch(res / "NetRes/1101.plist");
    touch(res / "NetRes/6412/Topic.plist");
    touch(res / "NetRes/0101010101/Topic.plist");
    touch(res / "NetRes/keep.plist");
    touch(res / "NetRes/1113.plist");
    touch(res / "NetRes/7101/Topic.plist");

    BackManager::getInstance()->removeUnusedFiles();

    EXPECT_FALSE(fs::exists(res / "NetRes/obsolete.plist"));
    EXPECT_FALSE(fs::exists(res / "NetRes/Obsolete"));
    EXPECT_FALSE(fs::exists(res / "NetRes/1101.plist"));
    EXPECT_FALSE(fs::exists(res / "NetRes/6412"));
    EXPECT_TRUE(fs::exists(res / "NetRes/0101010101/Topic.plist"));
    EXPECT_TRUE(fs::exists(res / "NetRes/keep.plist"));
    EXPECT_TRUE(fs::exists(res / "NetRes/1113.plist"));
    EXPECT_TRUE(fs::exists(res / "NetRes/7101"));
    // Only what was there is named; nothing is said of the names that were not.
    EXPECT_EQ(countLogged("removed unused"), 4);
    EXPECT_TRUE(logged("removed unused folder " + (res / "NetRes/6412").string()));
    EXPECT_EQ(countLogged("删除"), 0);
    EXPECT_EQ(countLogged("FileUtils: cannot remove"), 0);
}

TEST_F(BackManagerTest, WithoutTheListNothingIsRemoved) {
    const fs::path res = resRoot();
    touch(res / "NetRes/obsolete.plist");
    touch(res / "NetRes/1101.plist");
    // A configuration of our own, found first, without "UnusedFile".
    std::ofstream(programFolder() + "Configs.plist")
        << R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)"
           R"(<key>WindowType</key><string>FrameWindow</string></dict></plist>)";

    BackManager::getInstance()->removeUnusedFiles();

    EXPECT_TRUE(fs::exists(res / "NetRes/obsolete.plist"));
    EXPECT_TRUE(fs::exists(res / "NetRes/1101.plist"));
    fs::remove(programFolder() + "Configs.plist");
}

TEST_F(BackManagerTest, ANewerUpdaterIsFetchedAndUnpackedBesideTheProgram) {
    server.setUpdaterVersion("1.0.1");
    BackManager::getInstance()->checkVersion();
    const std::string updater = programFolder() + "QuorvelWinUpdate.exe";
    ASSERT_TRUE(waitFor([&] { return fs::exists(updater); }));
    waitFor([&] { return !fs::exists(programFolder() + "QuorvelUpdate.zip"); });
    EXPECT_FALSE(fs::exists(programFolder() + "QuorvelUpdate.zip"));
    EXPECT_EQ(access(updater.c_str(), X_OK), 0);
    ASSERT_EQ(requestsNamed("version").size(), 1u);
    EXPECT_EQ(requestsNamed("version")[0].field("id"), "13");
}

TEST_F(BackManagerTest, NoUpdateOrNoAddressFetchesNothing) {
    BackManager::getInstance()->checkVersion();
    ASSERT_TRUE(waitFor([&] { return requestsNamed("version").size() == 1; }));
    support::stepFrames(30);

    server.setUpdaterVersion("1.0.2", "");
    BackManager::getInstance()->checkVersion();
    ASSERT_TRUE(waitFor([&] { return logged("has no url"); }));
    support::stepFrames(30);
    for (const auto& entry : fs::directory_iterator(programFolder())) {
        EXPECT_NE(entry.path().extension(), ".zip") << entry.path();
        EXPECT_NE(entry.path().filename(), "QuorvelWinUpdate.exe");
    }
}

TEST_F(BackManagerTest, TheLogoIsFetchedOnceAndItsNameStoredWhenItArrives) {
    int calls = 0;
    BackManager* back = BackManager::getInstance();
    back->logoCallback = [&] { ++calls; };
    back->loadInstitutionLogo(server.origin() + "/files/logo/riverside_logo.png");
    const std::string logo = resRoot() + "NetRes/riverside_logo.png";
    ASSERT_TRUE(waitFor([&] { return calls == 1; }));
    EXPECT_TRUE(fs::exists(logo));
    EXPECT_EQ(SqManager::getInstance()->getBaseData("InstitutionLogo"), "riverside_logo.png");
    EXPECT_FALSE(back->logoCallback);

    // The same address again: no download while the stored logo decodes; one cut on disk is fetched again.
    const auto whole = fs::file_size(logo);
    for (const bool keep : {true, false}) {
        back->logoCallback = [&] { ++calls; };
        if (!keep) {
            fs::resize_file(logo, whole / 2);
            engine::Director::getInstance()->getTextureCache()->removeTextureForKey(logo);
        }
        back->loadInstitutionLogo(server.origin() + "/files/logo/riverside_logo.png");
        support::stepFrames(60);
        ASSERT_TRUE(waitFor([&] { return calls == (keep ? 1 : 2); }));
        EXPECT_EQ(fs::file_size(logo), whole);
    }
}

TEST_F(BackManagerTest, ALogoThatIsMissingOrNoPictureIsNotRecorded) {
    const struct {
        const char* address;
        const char* log;
    } cases[] = {{"/files/missing/other_logo.png", "institution logo not loaded"},
                 {"/files/courseware/0101010101.zip", "institution logo is not a picture"},
                 {"/fault/hugepng/files/logo/png_logo.png", "picture of 30000x30000 is larger than 1024x1024"},
                 {"/fault/hugesvg/files/logo/svg_logo.png", "picture is no PNG or JPEG"},
                 {"/fault/scanjpeg/files/logo/scan_logo.png", "picture of more than 64 scans"},
                 // A small picture's file bounded near its pixels' need before its data is read.
                 {"/fault/surpluspng/files/logo/data_logo.png", "more than its pixels need"},
                 // Cut at its cap while it arrives, not kept to be refused after 256 MB.
                 {"/fault/endless/files/logo/endless_logo.png", "institution logo not loaded"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        int calls = 0;
        const std::string logo = resRoot() + "NetRes/" + fs::path(c.address).stem().string() + ".png";
        BackManager::getInstance()->logoCallback = [&] { ++calls; };
        BackManager::getInstance()->loadInstitutionLogo(server.origin() + c.address);
        ASSERT_TRUE(waitFor([&] { return logged(std::string(c.log) + ": " + logo); }));
        // The check's answer comes back from the decoding thread.
        ASSERT_TRUE(waitFor([&] {
            return logged("institution logo is not a picture: " + logo) ||
                   logged("institution logo not loaded: " + logo);
        }));
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(SqManager::getInstance()->getBaseData("InstitutionLogo"), "");
        EXPECT_FALSE(fs::exists(logo));
        EXPECT_FALSE(fs::exists(logo + ".tmp"));
    }
    EXPECT_TRUE(logged("longer than " + std::to_string(engine::limits::kPictureBytes) + " bytes"));
}

} // namespace
