// Download throughput: our Downloader against the curl command line, both fetching the same 200 MB body
// from an in-process server on loopback.
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/Director.h"
#include "network/Downloader.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kBodySize = 200u * 1024 * 1024;
constexpr int kRuns = 3;

double megabytesPerSecond(Clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    return kBodySize / (1024.0 * 1024.0) / seconds;
}

// One download through the engine, stepping frames as the program does; 0 on failure.
double timeDownloader(const std::string& url, const std::string& target) {
    bool done = false;
    bool ok = false;
    auto downloader = std::make_shared<engine::network::Downloader>(engine::network::DownloaderHints{1, 10, ".tmp"});
    downloader->onFileTaskSuccess = [&](const engine::network::DownloadTask&) { done = ok = true; };
    downloader->onTaskError = [&](const engine::network::DownloadTask&, int, int, const std::string& text) {
        std::fprintf(stderr, "download failed: %s\n", text.c_str());
        done = true;
    };
    const auto start = Clock::now();
    downloader->createDownloadFileTask(url, target);
    while (!done) {
        engine::Director::getInstance()->mainLoop(1 / 60.f);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto elapsed = Clock::now() - start;
    ok = ok && fs::file_size(target) == kBodySize;
    fs::remove(target);
    return ok ? megabytesPerSecond(elapsed) : 0;
}

double timeCurlCommand(const std::string& url, const std::string& target) {
    const std::string command = "curl -s -o '" + target + "' '" + url + "'";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const auto elapsed = Clock::now() - start;
    std::error_code ec;
    const bool ok = status == 0 && fs::file_size(target, ec) == kBodySize;
    fs::remove(target, ec);
    return ok ? megabytesPerSecond(elapsed) : 0;
}

} // namespace

int main() {
    std::string block(1024 * 1024, '\0');
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>(i * 31 + 7);
    }
    httplib::Server server;
    server.Get("/big.bin", [&block](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(kBodySize, "application/octet-stream",
                                 [&block](size_t offset, size_t length, httplib::DataSink& sink) {
                                     const size_t from = offset % block.size();
                                     return sink.write(block.data() + from, std::min(length, block.size() - from));
                                 });
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        std::fprintf(stderr, "bench_download: no free port\n");
        return 1;
    }
    std::thread serverThread([&server] { server.listen_after_bind(); });
    while (!server.is_running()) {
        std::this_thread::yield();
    }

    const fs::path folder = fs::temp_directory_path() / ("bench_download_" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/big.bin";
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int run = 0; run < kRuns; ++run) {
        ours.push_back(timeDownloader(url, (folder / "engine.bin").string()));
        theirs.push_back(timeCurlCommand(url, (folder / "curl.bin").string()));
    }
    engine::Director::getInstance()->end();
    engine::Director::getInstance()->mainLoop(1 / 60.f);
    server.stop();
    serverThread.join();
    fs::remove_all(folder);

    const double bestOurs = *std::max_element(ours.begin(), ours.end());
    const double bestTheirs = *std::max_element(theirs.begin(), theirs.end());
    std::printf("bench_download: %zu MB over loopback, best of %d runs\n", kBodySize / (1024 * 1024), kRuns);
    std::printf("  Downloader to disk: %8.1f MB/s\n", bestOurs);
    std::printf("  curl -s -o:         %8.1f MB/s\n", bestTheirs);
    std::printf("  ratio (ours/curl):  %8.2f\n", bestTheirs > 0 ? bestOurs / bestTheirs : 0.0);
    return bestOurs > 0 && bestTheirs > 0 ? 0 : 1;
}
