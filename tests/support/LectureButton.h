// Finding a lecture's button on the lecture scene's pages.
#pragma once

#include <string>

namespace engine::ui {
class Button;
}

namespace support {

// The "LectBtn" of lecture n on the page of that name ("Img_Bg" + stage + page); null when it has none.
engine::ui::Button* lectureButton(int n, const std::string& page = "Img_Bg11");

} // namespace support
