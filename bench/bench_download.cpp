// Download throughput: our Downloader against the curl command line, both fetching the same 200 MB body from an
// in-process server on loopback. The pairs alternate; ours runs in a fresh process of its own and warm in this one.
#include <httplib.h>
#include <spawn.h>
#include <sys/wait.h>
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

#include "BenchCompare.h"
#include "base/Director.h"
#include "network/Downloader.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kBodySize = 200u * 1024 * 1024;
constexpr int kPairs = 5;

double megabytesPerSecond(Clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    return kBodySize / (1024.0 * 1024.0) / seconds;
}

// One download through the engine, stepping frames as the program does, its downloader gone inside the timing;
// negative on failure.
double timeDownloader(const std::string& url, const std::string& target) {
    bool done = false;
    bool ok = false;
    const auto start = Clock::now();
    {
        auto downloader =
            std::make_shared<engine::network::Downloader>(engine::network::DownloaderHints{1, 10, ".tmp"});
        downloader->onFileTaskSuccess = [&](const engine::network::DownloadTask&) { done = ok = true; };
        downloader->onTaskError = [&](const engine::network::DownloadTask&, int, int, const std::string& text) {
            std::fprintf(stderr, "download failed: %s\n", text.c_str());
            done = true;
        };
        downloader->createDownloadFileTask(url, target);
        while (!done) {
            engine::Director::getInstance()->mainLoop(1 / 60.f);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    const auto elapsed = Clock::now() - start;
    std::error_code ec;
    ok = ok && fs::file_size(target, ec) == kBodySize;
    fs::remove(target, ec);
    return ok ? megabytesPerSecond(elapsed) : -1;
}

double timeCurlCommand(const std::string& url, const std::string& target) {
    const char* argv[] = {"curl", "-s", "-o", target.c_str(), url.c_str(), nullptr};
    const auto start = Clock::now();
    pid_t child = 0;
    int status = -1;
    if (posix_spawnp(&child, "curl", nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
        waitpid(child, &status, 0);
    }
    const auto elapsed = Clock::now() - start;
    std::error_code ec;
    const bool ok = status == 0 && fs::file_size(target, ec) == kBodySize;
    fs::remove(target, ec);
    return ok ? megabytesPerSecond(elapsed) : -1;
}

double freshDownload(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return -1;
    }
    const double rate = timeDownloader(args[0], args[1]);
    engine::Director::getInstance()->end();
    engine::Director::getInstance()->mainLoop(1 / 60.f);
    return rate;
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    if (bench::runFreshChild(argc, argv, freshDownload, status)) {
        return status;
    }
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
    const std::string self = bench::selfPath();
    const std::string oursFile = (folder / "engine.bin").string();
    const std::string curlFile = (folder / "curl.bin").string();
    std::printf("bench_download: %zu MB over loopback; %s\n", kBodySize / (1024 * 1024), bench::machineLoad().c_str());
    bench::Pairs fresh;
    bool ok = bench::alternate(
        kPairs, [&] { return bench::freshProcess(self, {url, oursFile}); },
        [&] { return timeCurlCommand(url, curlFile); }, fresh);
    bench::Pairs warm;
    ok = ok && bench::alternate(
                   kPairs, [&] { return timeDownloader(url, oursFile); },
                   [&] { return timeCurlCommand(url, curlFile); }, warm);
    engine::Director::getInstance()->end();
    engine::Director::getInstance()->mainLoop(1 / 60.f);
    server.stop();
    serverThread.join();
    fs::remove_all(folder);

    std::printf("Downloader to disk (ours) against curl -s -o (reference), MB/s:\n");
    bench::printPairs("ours in a fresh process", fresh, "MB/s", false, "ours / curl");
    bench::printPairs("ours warm", warm, "MB/s", false, "ours / curl");
    std::printf("  %s\n", bench::machineLoad().c_str());
    return ok ? 0 : 1;
}
