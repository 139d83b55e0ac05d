// A one-line text input. A touch released inside attaches it to the keyboard; typed text and Backspace reach the
// attached field through the static entry points the view calls.
#pragma once

#include <functional>
#include <string>

#include "ui/Widget.h"

namespace engine {
class Label;
}

namespace engine::ui {

class TextField : public Widget {
public:
    enum class EventType { ATTACH_WITH_IME, DETACH_WITH_IME, INSERT_TEXT, DELETE_BACKWARD };
    using ccTextFieldCallback = std::function<void(Ref*, EventType)>;

    static TextField* create();
    // A font size of 0 or less means 24.
    static TextField* create(const std::string& placeholder, const std::string& fontName, int fontSize);
    ~TextField() override;

    // The real text, cut to the maximum length.
    void setString(const std::string& text);
    const std::string& getString() const { return _text; }
    // In characters.
    int getStringLength() const;
    // Shown while the text is empty.
    void setPlaceHolder(const std::string& placeholder);
    const std::string& getPlaceHolder() const { return _placeholder; }
    void setPlaceHolderColor(const Color4B& color) { _placeholderColor = color; }
    const Color4B& getPlaceHolderColor() const { return _placeholderColor; }
    void setTextColor(const Color4B& color) { _textColor = color; }
    const Color4B& getTextColor() const { return _textColor; }
    void setFontSize(int size);
    int getFontSize() const { return _fontSize; }
    void setFontName(const std::string& font);
    const std::string& getFontName() const { return _fontName; }

    // A maximum length in characters (0 = none) for typed text and setString alike.
    void setMaxLengthEnabled(bool enabled);
    bool isMaxLengthEnabled() const { return _maxLengthEnabled; }
    void setMaxLength(int length);
    int getMaxLength() const { return _maxLength; }
    // A password field shows one mask string per character.
    void setPasswordEnabled(bool enabled);
    bool isPasswordEnabled() const { return _passwordEnabled; }
    void setPasswordStyleText(const char* mask);
    const char* getPasswordStyleText() const { return _passwordStyle.c_str(); }
    // A fixed box: the text is left-aligned and vertically centred in it.
    void setTextAreaSize(const Size& size) { setContentSize(size); }

    void addEventListener(const ccTextFieldCallback& callback) { _eventCallback = callback; }

    // The field attached before gets DETACH_WITH_IME first.
    void attachWithIME();
    void detachWithIME();
    bool getAttachWithIME() const { return s_attached == this; }

    // Typed text for the attached field (nothing when none is); raises INSERT_TEXT.
    static void dispatchTextInput(const std::string& utf8);
    // Removes the attached field's last character; raises DELETE_BACKWARD.
    static void dispatchBackspace();
    static bool hasAttachedField() { return s_attached != nullptr; }

    void onExit() override;
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    TextField() = default;
    bool initTextField(const std::string& placeholder, const std::string& fontName, int fontSize);
    void onReleasedInside() override;
    bool getContentAdaptSize(Size& size) const override;
    Widget* createCloneInstance() const override;
    void copySpecialProperties(const Widget* model) override;

private:
    void insertText(const std::string& utf8);
    void deleteBackward();
    // Shows the text (masked) or the placeholder, then adapts the size.
    void refreshLabel();
    std::string cutToMaxLength(const std::string& text, long room) const;
    void raiseEvent(EventType type);

    static TextField* s_attached;

    Label* _label = nullptr;
    std::string _text;
    std::string _placeholder;
    std::string _fontName;
    int _fontSize = 24;
    Color4B _textColor = Color4B::WHITE;
    Color4B _placeholderColor = Color4B(127, 127, 127, 255);
    bool _maxLengthEnabled = false;
    int _maxLength = 0;
    bool _passwordEnabled = false;
    std::string _passwordStyle = "*";
    ccTextFieldCallback _eventCallback;
};

} // namespace engine::ui
