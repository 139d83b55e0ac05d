#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "NetworkTestSupport.h"
#include "base/Director.h"
#include "network/Downloader.h"
#include "support/Headless.h"
#include "support/LocalHttpServer.h"

using engine::network::Downloader;
using engine::network::DownloaderHints;
using engine::network::DownloadTask;
using support::LocalHttpServer;
namespace fs = std::filesystem;

namespace {

// A body of any size whose bytes are known from their offset alone.
char patternByte(size_t offset) {
    return static_cast<char>((offset * 7 + offset / 4096) & 0xff);
}

void fillPattern(size_t offset, size_t length, std::string& out) {
    out.resize(length);
    for (size_t i = 0; i < length; ++i) {
        out[i] = patternByte(offset + i);
    }
}

bool fileHasPattern(const fs::path& path, size_t size) {
    if (!fs::exists(path) || fs::file_size(path) != size) {
        return false;
    }
    std::string content = readFile(path);
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] != patternByte(i)) {
            return false;
        }
    }
    return true;
}

// Streams `size` pattern bytes in pieces of at most 64 KB; cutAt stops the body there.
void servePattern(httplib::Response& res, size_t size, size_t cutAt = SIZE_MAX) {
    res.set_content_provider(size, "application/octet-stream",
                             [cutAt](size_t offset, size_t length, httplib::DataSink& sink) {
                                 if (offset >= cutAt) {
                                     return false;
                                 }
                                 std::string piece;
                                 fillPattern(offset, std::min({length, size_t(64 * 1024), cutAt - offset}), piece);
                                 return sink.write(piece.data(), piece.size());
                             });
}

struct ProgressReport {
    uint64_t frame;
    int64_t bytesReceived;
    int64_t totalBytesReceived;
    int64_t totalBytesExpected;
};

// Records everything one downloader reports.
struct Recorder {
    std::vector<ProgressReport> progress;
    std::vector<std::string> successes;
    struct Error {
        std::string identifier;
        int code;
        int internal;
        std::string text;
    };
    std::vector<Error> errors;
    int callbacksInsideCreate = 0;
    bool creating = false;
    bool progressAfterResult = false;

    void attach(Downloader& downloader) {
        downloader.onTaskProgress = [this](const DownloadTask&, int64_t received, int64_t total, int64_t expected) {
            noteCall();
            progressAfterResult |= results() > 0;
            progress.push_back({engine::Director::getInstance()->getTotalFrames(), received, total, expected});
        };
        downloader.onFileTaskSuccess = [this](const DownloadTask& task) {
            noteCall();
            successes.push_back(task.identifier);
        };
        downloader.onTaskError = [this](const DownloadTask& task, int code, int internal, const std::string& text) {
            noteCall();
            errors.push_back({task.identifier, code, internal, text});
        };
    }
    size_t results() const { return successes.size() + errors.size(); }
    void noteCall() { callbacksInsideCreate += creating ? 1 : 0; }
};

std::shared_ptr<Downloader> makeDownloader(Recorder& recorder, uint32_t timeout = 10, uint32_t maxTasks = 1) {
    auto downloader = std::make_shared<Downloader>(DownloaderHints{maxTasks, timeout, ".tmp"});
    recorder.attach(*downloader);
    return downloader;
}

bool noTempFiles(const fs::path& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.path().extension() == ".tmp") {
            return false;
        }
    }
    return true;
}

// Promises a million bytes, sends "abcd" and then nothing more until the server stops.
void sendFirstBytesThenStall(LocalHttpServer& server, httplib::Response& res) {
    res.set_content_provider(1000000, "application/octet-stream",
                             [&server](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset == 0) {
                                     return sink.write("abcd", 4);
                                 }
                                 server.waitUntilStopping(std::chrono::seconds(60));
                                 return false;
                             });
}

class DownloaderTest : public NetworkTest {};

} // namespace

TEST_F(DownloaderTest, LargeBodyArrivesWholeWithOrderedProgress) {
    constexpr size_t kSize = 50u * 1024 * 1024;
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/video.mp4", [](const httplib::Request&, httplib::Response& res) { servePattern(res, kSize); });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    auto downloader = makeDownloader(recorder);
    const std::string target = scratch.file("course/12/video.mp4"); // the folders do not exist yet
    downloader->createDownloadFileTask(server.url("/video.mp4"), target, "video");

    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 1; }));
    ASSERT_EQ(recorder.successes, std::vector<std::string>{"video"});
    EXPECT_TRUE(fileHasPattern(target, kSize));
    EXPECT_FALSE(fs::exists(target + ".tmp"));

    ASSERT_FALSE(recorder.progress.empty());
    int64_t sum = 0;
    for (size_t i = 0; i < recorder.progress.size(); ++i) {
        const ProgressReport& report = recorder.progress[i];
        sum += report.bytesReceived;
        EXPECT_GT(report.bytesReceived, 0);
        EXPECT_EQ(report.totalBytesReceived, sum);
        EXPECT_EQ(report.totalBytesExpected, static_cast<int64_t>(kSize));
        if (i > 0) {
            EXPECT_GT(report.frame, recorder.progress[i - 1].frame) << "two reports in one frame";
        }
    }
    EXPECT_EQ(sum, static_cast<int64_t>(kSize));
    EXPECT_FALSE(recorder.progressAfterResult);
}

TEST_F(DownloaderTest, HttpErrorLeavesTheOldFileAndNoTemp) {
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/missing.zip", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content(std::string(200000, 'e'), "text/html");
        });
    });
    support::ScratchDir scratch;
    const std::string target = scratch.file("pack.zip");
    { std::ofstream(target) << "old"; }
    Recorder recorder;
    auto downloader = makeDownloader(recorder);
    downloader->createDownloadFileTask(server.url("/missing.zip"), target, "pack");

    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 1; }));
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_EQ(recorder.errors[0].identifier, "pack");
    EXPECT_EQ(recorder.errors[0].internal, 404);
    EXPECT_NE(recorder.errors[0].code, DownloadTask::ERROR_NO_ERROR);
    EXPECT_EQ(readFile(target), "old");
    EXPECT_TRUE(noTempFiles(scratch.path()));
}

TEST_F(DownloaderTest, ConnectionCutMidBodyLeavesNoFile) {
    constexpr size_t kSize = 4u * 1024 * 1024;
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/cut.bin", [](const httplib::Request&, httplib::Response& res) { servePattern(res, kSize, kSize / 2); });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    auto downloader = makeDownloader(recorder);
    const std::string target = scratch.file("cut.bin");
    downloader->createDownloadFileTask(server.url("/cut.bin"), target);

    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 1; }));
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_EQ(recorder.errors[0].code, DownloadTask::ERROR_NETWORK);
    EXPECT_NE(recorder.errors[0].internal, 0); // libcurl's code
    EXPECT_FALSE(recorder.errors[0].text.empty());
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(noTempFiles(scratch.path()));
}

TEST_F(DownloaderTest, StalledServerIsGivenUpAfterTheTimeOut) {
    LocalHttpServer server([&](httplib::Server& s) {
        s.Get("/stall.bin",
              [&](const httplib::Request&, httplib::Response& res) { sendFirstBytesThenStall(server, res); });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    auto downloader = makeDownloader(recorder, 1);
    const std::string target = scratch.file("stall.bin");
    const auto start = std::chrono::steady_clock::now();
    downloader->createDownloadFileTask(server.url("/stall.bin"), target);

    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 1; }));
    // The 1 s limit, not the usual 10 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_EQ(recorder.errors[0].internal, 28); // CURLE_OPERATION_TIMEDOUT
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(noTempFiles(scratch.path()));
}

TEST_F(DownloaderTest, SlowButMovingTransferOutlivesTheTimeOut) {
    constexpr size_t kPieces = 12;
    LocalHttpServer server([&](httplib::Server& s) {
        s.Get("/slow.bin", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(kPieces, "application/octet-stream",
                                     [&](size_t offset, size_t, httplib::DataSink& sink) {
                                         // One byte every 300 ms: 3.6 s in all against a 2 s stall limit.
                                         server.waitUntilStopping(std::chrono::milliseconds(300));
                                         std::string piece;
                                         fillPattern(offset, 1, piece);
                                         return sink.write(piece.data(), 1);
                                     });
        });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    auto downloader = makeDownloader(recorder, 2);
    const std::string target = scratch.file("slow.bin");
    downloader->createDownloadFileTask(server.url("/slow.bin"), target, "slow");

    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 1; }));
    EXPECT_EQ(recorder.successes, std::vector<std::string>{"slow"});
    EXPECT_TRUE(fileHasPattern(target, kPieces));
}

TEST_F(DownloaderTest, ATransferPastItsWholeTimeIsCut) {
    // 100 bytes every 50 ms of 40,000: never stalled nor too slow, 20 s to its end.
    constexpr size_t kSize = 40000;
    LocalHttpServer server([&](httplib::Server& s) {
        s.Get("/steady.bin", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(kSize, "application/octet-stream",
                                     [&](size_t offset, size_t, httplib::DataSink& sink) {
                                         server.waitUntilStopping(std::chrono::milliseconds(50));
                                         std::string piece;
                                         fillPattern(offset, 100, piece);
                                         return sink.write(piece.data(), piece.size());
                                     });
        });
    });
    // A fixed whole time, and one that adds the announced length at 40,000 bytes a second.
    const struct {
        float seconds;
        uint32_t bytesPerSecond;
        double cutAfter;
    } rows[] = {{0.3f, 0, 0.3}, {0.3f, 40000, 1.3}};
    for (const auto& row : rows) {
        support::ScratchDir scratch;
        Recorder recorder;
        DownloaderHints hints{1, 10, ".tmp"};
        hints.lowSpeedLimit = 0;
        hints.wholeTimeSeconds = row.seconds;
        hints.wholeTimeBytesPerSecond = row.bytesPerSecond;
        auto downloader = std::make_shared<Downloader>(hints);
        recorder.attach(*downloader);
        const auto start = std::chrono::steady_clock::now();
        downloader->createDownloadFileTask(server.url("/steady.bin"), scratch.file("steady.bin"), "steady");
        ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 1; }));
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ASSERT_EQ(recorder.errors.size(), 1u) << row.cutAfter;
        EXPECT_NE(recorder.errors[0].text.find("still running after"), std::string::npos) << recorder.errors[0].text;
        EXPECT_GE(took, row.cutAfter);
        EXPECT_LT(took, row.cutAfter + 5);
        EXPECT_TRUE(noTempFiles(scratch.path()));
    }
}

TEST_F(DownloaderTest, ABodyAnnouncedPastTheCapIsRefusedAtItsFirstBytes) {
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/long.bin", [](const httplib::Request&, httplib::Response& res) { servePattern(res, 1u << 30); });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    DownloaderHints hints{1, 10, ".tmp"};
    hints.maxFileSize = 8u << 20;
    auto downloader = std::make_shared<Downloader>(hints);
    recorder.attach(*downloader);
    downloader->createDownloadFileTask(server.url("/long.bin"), scratch.file("long.bin"), "long");
    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 1; }));
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_NE(recorder.errors[0].text.find("longer than 8388608 bytes"), std::string::npos);
    // Not a byte of it written.
    EXPECT_TRUE(recorder.progress.empty());
    EXPECT_TRUE(noTempFiles(scratch.path()));
}

TEST_F(DownloaderTest, UnknownLengthNeverReportsAnExpectedSize) {
    constexpr size_t kChunks = 20;
    constexpr size_t kChunkSize = 16 * 1024;
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/chunked.bin", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/octet-stream", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= kChunks * kChunkSize) {
                    sink.done();
                    return true;
                }
                std::string piece;
                fillPattern(offset, kChunkSize, piece);
                return sink.write(piece.data(), piece.size());
            });
        });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    auto downloader = makeDownloader(recorder);
    const std::string target = scratch.file("chunked.bin");
    downloader->createDownloadFileTask(server.url("/chunked.bin"), target, "chunked");

    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 1; }));
    ASSERT_EQ(recorder.successes.size(), 1u);
    EXPECT_TRUE(fileHasPattern(target, kChunks * kChunkSize));
    ASSERT_FALSE(recorder.progress.empty());
    for (const ProgressReport& report : recorder.progress) {
        EXPECT_LE(report.totalBytesExpected, 0);
    }
    EXPECT_EQ(recorder.progress.back().totalBytesReceived, static_cast<int64_t>(kChunks * kChunkSize));
}

TEST_F(DownloaderTest, CallbacksNeverRunInsideCreate) {
    LocalHttpServer server([](httplib::Server& s) {
        s.Get("/a.txt", [](const httplib::Request&, httplib::Response& res) { res.set_content("a", "text/plain"); });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    auto downloader = makeDownloader(recorder, 10, 4);
    recorder.creating = true;
    downloader->createDownloadFileTask("", scratch.file("empty"), "empty");
    downloader->createDownloadFileTask("::not a url::", scratch.file("malformed"), "malformed");
    downloader->createDownloadFileTask(server.url("/a.txt"), "", "nowhere");
    downloader->createDownloadFileTask(server.url("/a.txt"), scratch.file("a.txt"), "good");
    recorder.creating = false;
    EXPECT_EQ(recorder.results(), 0u);

    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 4; }));
    support::stepFrames(5);
    EXPECT_EQ(recorder.callbacksInsideCreate, 0);
    EXPECT_EQ(recorder.successes, std::vector<std::string>{"good"});
    ASSERT_EQ(recorder.errors.size(), 3u);
    for (const auto& error : recorder.errors) {
        if (error.identifier != "malformed") {
            EXPECT_EQ(error.code, DownloadTask::ERROR_INVALID_PARAMS) << error.identifier;
        }
    }
    EXPECT_EQ(readFile(scratch.file("a.txt")), "a");
}

TEST_F(DownloaderTest, RunsAtMostCountOfMaxProcessingTasksAtOnce) {
    std::mutex mutex;
    std::condition_variable changed;
    int active = 0;
    int mostActive = 0;
    int served = 0;
    LocalHttpServer server([&](httplib::Server& s) {
        s.Get(R"(/file/(\d+))", [&](const httplib::Request&, httplib::Response& res) {
            std::unique_lock<std::mutex> lock(mutex);
            mostActive = std::max(mostActive, ++active);
            changed.notify_all();
            // Holds each reply until a second transfer runs beside it (the last runs alone), then a little longer
            // for a third that should not come.
            changed.wait_for(lock, std::chrono::seconds(60), [&] { return active >= 2 || served == 4; });
            changed.wait_for(lock, std::chrono::milliseconds(300), [&] { return active >= 3; });
            --active;
            ++served;
            changed.notify_all();
            res.set_content("x", "text/plain");
        });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    auto downloader = makeDownloader(recorder, 10, 2);
    for (int i = 0; i < 5; ++i) {
        downloader->createDownloadFileTask(server.url("/file/" + std::to_string(i)), scratch.file(std::to_string(i)));
    }
    ASSERT_TRUE(support::waitFor([&] { return recorder.results() == 5; }));
    EXPECT_EQ(recorder.successes.size(), 5u);
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(mostActive, 2);
}

TEST_F(DownloaderTest, ReplacingTheDownloaderFromItsOwnCallbacksIsSafe) {
    LocalHttpServer server([](httplib::Server& s) {
        s.Get(R"(/part/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            if (req.matches[1] == "404") {
                res.status = 404;
                return;
            }
            servePattern(res, 200000);
        });
    });
    support::ScratchDir scratch;
    std::vector<std::string> done;
    std::shared_ptr<Downloader> downloader;
    std::function<void()> replace = [&] {
        downloader = std::make_shared<Downloader>(DownloaderHints{1, 10, ".tmp"});
        downloader->onTaskProgress = [](const DownloadTask&, int64_t, int64_t, int64_t) {};
        downloader->onFileTaskSuccess = [&](const DownloadTask& task) {
            done.push_back(task.identifier);
            // Drops the downloader whose callback this is; the tasks it queued still report.
            replace();
            if (task.identifier == "first") {
                downloader->createDownloadFileTask(server.url("/part/9"), scratch.file("next"), "next");
            }
        };
        downloader->onTaskError = [&](const DownloadTask& task, int, int, const std::string&) {
            done.push_back(task.identifier + " failed");
            downloader.reset(); // the one "next" was queued on
        };
    };
    replace();
    downloader->createDownloadFileTask(server.url("/part/1"), scratch.file("first"), "first");
    downloader->createDownloadFileTask(server.url("/part/404"), scratch.file("missing"), "missing");
    downloader->createDownloadFileTask(server.url("/part/2"), scratch.file("second"), "second");

    ASSERT_TRUE(support::waitFor([&] { return done.size() == 4; }));
    support::stepFrames(5);
    std::sort(done.begin(), done.end());
    EXPECT_EQ(done, (std::vector<std::string>{"first", "missing failed", "next", "second"}));
    EXPECT_TRUE(fileHasPattern(scratch.file("first"), 200000));
    EXPECT_TRUE(fileHasPattern(scratch.file("second"), 200000));
    EXPECT_TRUE(fileHasPattern(scratch.file("next"), 200000));
}

TEST_F(DownloaderTest, DirectorShutdownStopsTransfersAndRemovesTempFiles) {
    std::atomic<int> started{0};
    LocalHttpServer server([&](httplib::Server& s) {
        s.Get(R"(/big/(\d+))", [&](const httplib::Request&, httplib::Response& res) {
            ++started;
            sendFirstBytesThenStall(server, res);
        });
    });
    support::ScratchDir scratch;
    Recorder recorder;
    auto downloader = makeDownloader(recorder, 30, 2);
    for (int i = 0; i < 3; ++i) {
        downloader->createDownloadFileTask(server.url("/big/" + std::to_string(i)), scratch.file(std::to_string(i)));
    }
    // Two transfers have started writing; the third waits for a slot.
    ASSERT_TRUE(support::waitFor([&] { return recorder.progress.size() >= 2; }));
    EXPECT_TRUE(fs::exists(scratch.file("0.tmp")));
    EXPECT_TRUE(fs::exists(scratch.file("1.tmp")));

    const auto start = std::chrono::steady_clock::now();
    engine::Director::getInstance()->end();
    support::stepFrames(1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(engine::Director::getInstance()->hasEnded());
    EXPECT_TRUE(noTempFiles(scratch.path()));
    EXPECT_TRUE(fs::is_empty(scratch.path()));
    EXPECT_EQ(started, 2);

    engine::Director::getInstance()->reset();
    support::stepFrames(5);
    EXPECT_EQ(recorder.results(), 0u);
}
