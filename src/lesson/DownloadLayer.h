// Downloads a list of files one after the other under an overlay with a counter and a progress bar.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/BaseLayer.h"
#include "common/LifeToken.h"
#include "net/DownloadRecord.h"
#include "net/SqManager.h"

class DownloadLayer : public BaseLayer {
public:
    static DownloadLayer* create() { return createLayer<DownloadLayer>(); }
    ~DownloadLayer() override;
    void initData() override;
    void initRes() override;
    void screenAdaptation() override;

    // Appends a copy; starts nothing.
    void addTask(const DownloadRecord& record);
    // Starts the next file, or, after the last one, runs finishCallback and removes the layer.
    void startNext();
    // The bar shows the list's progress: the files done and this percent of the current one.
    void onProgress(int percent);
    // Called for a failed file too, so the list goes on; only a ".zip" that arrived is queued for extraction.
    void onFileDone(const std::string& storagePath, bool succeeded);

    // Runs once, after the last file is done; the layer removes itself right after.
    std::function<void()> finishCallback;
    // Hears the extraction result of each zip the layer queued, later, when the layer may be gone.
    UnzipFinishCallback unzipFinishCallback;

private:
    void setBarPercent(int filePercent);

    engine::Node* rootNode = nullptr;
    std::vector<DownloadRecord> records;
    int startedCount = 0;
    LifeToken life;
};
