// One question of the simple question game, as the course question list gives it.
#pragma once

#include <string>
#include <vector>

struct SimpleGameItem {
    int id = 0;
    std::string title;
    std::string music;
    std::string lookImg;
    std::vector<std::string> contImgs;
    std::vector<std::string> operImgs;
    // The atoi of entry 0 is the 1-based number of the right option.
    std::vector<std::string> answers;
};
