#include "hostile/samples/TextSamples.h"

#include "scene/Label.h"

namespace hostile {

Make wordsOf(size_t count, size_t perLine) {
    return [count, perLine](const std::string&) {
        std::string text;
        text.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            text += perLine && i % perLine == perLine - 1 ? '\n' : (i % 5 == 4 ? ' ' : 'a');
        }
        return text;
    };
}

Run labelIn(float fontSize, float width, float height) {
    return [=](const std::string& text) {
        engine::Label* label = engine::Label::create(text, "", fontSize);
        label->setDimensions(engine::Size(width, height));
        // A line break the box made is not text left out.
        std::string shown = label->getShownString();
        std::string whole = text;
        std::erase_if(shown, [](char c) { return c == '\n' || c == ' '; });
        std::erase_if(whole, [](char c) { return c == '\n' || c == ' '; });
        return shown == whole ? Outcome::PASSES : Outcome::BOUNDED;
    };
}

} // namespace hostile
