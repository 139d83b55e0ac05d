// Saving drawn frames as PNG files.
#pragma once

#include <functional>
#include <string>

namespace engine {

class Renderer;

namespace utils {
// Saves the next drawn frame; the callback runs on the main thread afterwards. A relative file name
// is placed in the writable path.
void captureScreen(const std::function<void(bool, const std::string&)>& afterCaptured, const std::string& filename);
} // namespace utils

// Called by the director after drawing a frame.
void serveScreenCaptures(Renderer* renderer);
// A capture waits: the frame is drawn in full for it.
bool hasPendingScreenCaptures();

} // namespace engine
