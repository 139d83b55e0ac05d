// The simple question game over the picture lecture: fetches the questions' missing files, then shows one question
// at a time (title, content picture, option pictures, its sound) and answers a click with the right or wrong
// feedback; a right answer moves on, and after the last question the layer closes.
#pragma once

#include <string>

#include "common/BaseLayer.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
class Ref;
namespace ui {
class ImageView;
}
} // namespace engine

class SimpleGame : public BaseLayer {
public:
    static SimpleGame* create() { return createLayer<SimpleGame>(); }

    void initData() override;
    // Builds the page anew; the first time, fetches the files still missing (also those a visit before left).
    void initRes() override;

    void buildQuestion();
    // The picture in the box's image, shrunk to fit the box; null when either widget is missing or the picture
    // cannot be read.
    engine::ui::ImageView* fitImageInBox(const std::string& boxName, const std::string& imageName,
                                         const std::string& file);
    void playVoice();
    // Option 0, 1, ...; ignored while the feedback plays.
    void checkAnswer(engine::Ref* sender, int option);
    void showFeedback(bool right);
    void onFeedbackEnd(bool right);

    engine::Node* rootNode = nullptr;
    int itemIndex = 0;
    bool locked = false;
    bool filesRequested = false;

private:
    // Spreads the shown option boxes evenly over the row the layout gives them.
    void centreOptions(int count);

    LifeToken life;
};
