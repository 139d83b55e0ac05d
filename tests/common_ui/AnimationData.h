// Scratch animation data: descriptions in a property list and frame pictures copied from the pack.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

namespace common_ui {

inline std::string plistDict(const std::string& body) {
    return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)" + body + "</dict></plist>";
}

inline std::string plistStrings(const std::string& key, std::initializer_list<const char*> values) {
    std::string body = "<key>" + key + "</key><array>";
    for (const char* value : values) {
        body += std::string("<string>") + value + "</string>";
    }
    return body + "</array>";
}

inline std::string animationEntry(const std::string& base, int frames, int begin, float delay, int loop) {
    return "<key>" + base + "</key><dict><key>Frames</key><integer>" + std::to_string(frames) +
           "</integer><key>Begin</key><integer>" + std::to_string(begin) + "</integer><key>Delay</key><real>" +
           std::to_string(delay) + "</real><key>Loop</key><integer>" + std::to_string(loop) + "</integer></dict>";
}

// Copies a pack picture as folder/base<n>.png for each n, under dir.
inline void makeFrames(const std::string& dir, const std::string& folder, const std::string& base,
                       std::initializer_list<int> numbers) {
    namespace fs = std::filesystem;
    fs::create_directories(dir + "/" + folder);
    int picture = 1;
    for (int n : numbers) {
        const std::string source =
            std::string(TEST_PROGRAM_DIR) + "/Animations/RightCommon/RightCommon" + std::to_string(picture) + ".png";
        fs::copy_file(source, dir + "/" + folder + "/" + base + std::to_string(n) + ".png",
                      fs::copy_options::overwrite_existing);
        picture = picture % 6 + 1;
    }
}

} // namespace common_ui
