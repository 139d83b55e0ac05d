// The demo topic lectures drawn at build time, unpacked where the client looks for a lecture's package, and the
// topic host shown on a plain scene.
#pragma once

#include <string>
#include <vector>

class TopicLayer;

namespace support {

// The file service's resource root becomes folder, searched first; the program folder's resource folders follow.
void useResourceRoot(const std::string& folder);
// The package folder of the current lecture, with its trailing slash.
std::string packagePath();
// Chooses the lecture of that identify (10 digits: course type, subject, grade, phase, lesson); its package folder.
std::string chooseLecture(const std::string& identify);
// Chooses the demo lecture identify (10 digits) and unpacks its package (demoPackage).
void useDemoLecture(const std::string& identify);
// The identify codes of the demo topic lectures, in order.
std::vector<std::string> demoLectures();
// The first demo lecture whose topics hold the layout code; "" when none does.
std::string lectureWith(int code);
// The index of the first topic with that layout code, its kind's topics loaded; -1 when no kind has one.
int findTopic(int code);
// A topic host of the current content kind on a plain running scene.
TopicLayer* openTopicHost();

// A lecture of the demo server's catalogue: its course type, "type/subject/grade/phase/" and package.
struct CatalogueLecture {
    int type;
    std::string stage, package;
};
std::vector<CatalogueLecture> demoCatalogue();
// The package folder of a catalogue lecture: the copy given full movies at build time, else the committed one, else
// the one drawn at build time.
std::string demoPackage(const std::string& identify);

} // namespace support
