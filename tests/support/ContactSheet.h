// Screenshots laid out five to a row at a quarter of their size, saved as one picture.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

namespace support {

class ContactSheet {
public:
    ContactSheet() = default;
    ContactSheet(const ContactSheet&) = delete;
    ContactSheet& operator=(const ContactSheet&) = delete;
    ~ContactSheet();
    // Adds the picture saved at path (a screenshot).
    void add(const std::string& path);
    // Saves the sheet as <name>.png beside the screenshots and starts a new one.
    void save(const std::string& name);

private:
    std::vector<SDL_Surface*> shots;
};

} // namespace support
