#include "ServerTest.h"

#include <set>

namespace {

// Every member named in spec has the kind its letter says: i int, s string, a array, o object.
::testing::AssertionResult hasMembers(const rapidjson::Value& object, const std::string& spec) {
    if (!object.IsObject()) {
        return ::testing::AssertionFailure() << "not an object";
    }
    for (size_t start = 0, end = 0; start < spec.size(); start = end + 1) {
        end = std::min(spec.find(' ', start), spec.size());
        std::string name = spec.substr(start, end - start - 2);
        char kind = spec[end - 1];
        const auto& value = at(object, name.c_str());
        if (!((kind == 'i' && value.IsInt()) || (kind == 's' && value.IsString()) || (kind == 'a' && value.IsArray()) ||
              (kind == 'o' && value.IsObject()))) {
            return ::testing::AssertionFailure() << "member \"" << name << "\" is not of kind " << kind;
        }
    }
    return ::testing::AssertionSuccess();
}

// Every element of the array has level 0's members, every element of its "children" level 1's, and so on.
::testing::AssertionResult treeHas(const rapidjson::Value& array, const std::vector<std::string>& levels,
                                   size_t depth = 0) {
    if (!array.IsArray()) {
        return ::testing::AssertionFailure() << "level " << depth << " is not an array";
    }
    for (const auto& item : array.GetArray()) {
        auto result = hasMembers(item, levels[depth]);
        if (result && depth + 1 < levels.size()) {
            result = treeHas(at(item, "children"), levels, depth + 1);
        }
        if (!result) {
            return result << " at level " << depth;
        }
    }
    return ::testing::AssertionSuccess();
}

// Every string in the value that looks like a URL.
void collectUrls(const rapidjson::Value& value, std::vector<std::string>& urls) {
    if (value.IsString() && std::string(value.GetString()).find("://") != std::string::npos) {
        urls.emplace_back(value.GetString());
    } else if (value.IsArray()) {
        for (const auto& item : value.GetArray()) {
            collectUrls(item, urls);
        }
    } else if (value.IsObject()) {
        for (const auto& member : value.GetObject()) {
            collectUrls(member.value, urls);
        }
    }
}

// The part of a URL's file name before its first dot: the client stores downloads under it.
std::string baseName(const std::string& url) {
    std::string name = url.substr(url.rfind('/') + 1);
    return name.substr(0, name.find('.'));
}

const char* kCourseItem = "id:i type:i subject:i grade:i phase:i lesson:i hash:s name:s url:s size:i version:s text1:s";

} // namespace

using CatalogueReplies = ServerTest;

TEST_F(CatalogueReplies, CourseIconsListTypesAndSubjectsWithServedIcons) {
    auto reply = callLoggedIn("getCourseIcon", "appId=9");
    const auto& data = at(reply, "data");
    EXPECT_TRUE(treeHas(at(data, "typeList"), {"typeCode:i typeName:s iconNormal:s iconSelected:s iconLocked:s"}));
    EXPECT_TRUE(treeHas(at(data, "subjectList"), {"subjectCode:i playMode:i subjectName:s iconNormal:s "
                                                  "iconSelected:s iconLocked:s typeCode:i"}));
    EXPECT_EQ(countOf(at(data, "typeList")), 5);
    EXPECT_EQ(countOf(at(data, "subjectList")), 7);
    std::vector<std::string> urls;
    collectUrls(data, urls);
    EXPECT_EQ(urls.size(), 36u);
    std::set<std::string> names;
    for (const auto& url : urls) {
        EXPECT_TRUE(names.insert(baseName(url)).second) << "icon names must differ: " << url;
        EXPECT_EQ(get(pathOf(url))->status, 200) << url;
    }
}

TEST_F(CatalogueReplies, PermissionsAndClassesNestWithTheirMembersAtEveryLevel) {
    auto permissions = callLoggedIn("getCoursePermission");
    const auto& types = at(permissions, "data");
    EXPECT_TRUE(treeHas(types, {"typeCode:i enabled:i children:a", "subjectCode:i enabled:i children:a",
                                "gradeCode:i enabled:i gradeName:s children:a", "phaseCode:i enabled:i phaseName:s"}));
    const auto& mathsGrade1 = at(at(at(at(at(types, 0), "children"), 0), "children"), 0);
    EXPECT_EQ(countOf(at(mathsGrade1, "children")), 3);
    EXPECT_EQ(intOf(at(at(mathsGrade1, "children"), 2), "enabled"), 0);
    EXPECT_EQ(intOf(at(types, 4), "enabled"), 0);

    auto classes = callLoggedIn("getClassList");
    const auto& schools = at(classes, "data");
    EXPECT_TRUE(
        treeHas(schools, {"schoolId:i schoolName:s children:a", "gradeCode:i children:a", "classId:i className:s"}));
    EXPECT_EQ(countOf(schools), 5);
    EXPECT_EQ(countOf(at(at(at(at(schools, 0), "children"), 0), "children")), 5);
}

TEST_F(CatalogueReplies, InterfacePackIsOfferedToTheDemoInstitutionOnly) {
    auto reply = callLoggedIn("getUI", "institutionId=1");
    const auto& ui = at(at(reply, "data"), "ui");
    ASSERT_TRUE(hasMembers(ui, "hash:s format:s"));
    EXPECT_EQ(stringOf(ui, "format"), "zip");
    auto entries = zipEntryNames(get(pathOf(stringOf(ui, "hash")))->body);
    EXPECT_NE(std::find(entries.begin(), entries.end(), "DrawBoard/DrawBoard_Color0.png"), entries.end());
    EXPECT_FALSE(at(callLoggedIn("getUI", "institutionId=2"), "data").HasMember("ui"));
}

TEST_F(CatalogueReplies, CourseListItemsNameServedPackagesInPhaseAndLessonOrder) {
    auto reply = callLoggedIn("getCourseList", "gradeCode=1&subjectCode=1&typeCode=1");
    const auto& items = at(reply, "data");
    ASSERT_TRUE(treeHas(items, {kCourseItem}));
    ASSERT_EQ(countOf(items), 20) << "twelve lectures and the eight topic tours";
    int previous = 0;
    for (const auto& item : items.GetArray()) {
        int order = intOf(item, "phase") * 100 + intOf(item, "lesson");
        EXPECT_GT(order, previous);
        previous = order;
        EXPECT_GT(intOf(item, "id"), 0);
        EXPECT_EQ(stringOf(item, "hash").size(), 16u);
        auto zip = get(pathOf(stringOf(item, "url")));
        ASSERT_EQ(zip->status, 200) << stringOf(item, "url");
        EXPECT_EQ(static_cast<int>(zip->body.size()), intOf(item, "size"));
    }
    EXPECT_EQ(stringOf(at(items, 0), "name"), "Counting to 10");
    EXPECT_EQ(stringOf(at(items, 0), "text1"), "");
}

TEST_F(CatalogueReplies, CourseListFiltersByTypeSubjectAndGrade) {
    auto reply = callLoggedIn("getCourseList", "gradeCode=0&subjectCode=5&typeCode=3");
    const auto& stories = at(reply, "data");
    ASSERT_EQ(countOf(stories), 1);
    EXPECT_EQ(intOf(at(stories, 0), "grade"), 0);
    EXPECT_EQ(stringOf(at(stories, 0), "text1"), "1101");
    EXPECT_EQ(baseName(stringOf(at(stories, 0), "url")), "0305010101");
    EXPECT_EQ(countOf(at(callLoggedIn("getCourseList", "gradeCode=2&subjectCode=4&typeCode=2"), "data")), 1);
    EXPECT_EQ(countOf(at(callLoggedIn("getCourseList", "gradeCode=5&subjectCode=1&typeCode=1"), "data")), 9);
}

TEST_F(CatalogueReplies, EveryPackageZipHoldsItsTopicsUnderItsIdentify) {
    size_t packages = 0;
    for (const char* list : {"gradeCode=1&subjectCode=1&typeCode=1", "gradeCode=2&subjectCode=1&typeCode=1",
                             "gradeCode=5&subjectCode=1&typeCode=1", "gradeCode=1&subjectCode=2&typeCode=1",
                             "gradeCode=1&subjectCode=4&typeCode=2", "gradeCode=2&subjectCode=4&typeCode=2",
                             "gradeCode=0&subjectCode=5&typeCode=3",
                             "gradeCode=1&subjectCode=6&typeCode=4", "gradeCode=1&subjectCode=7&typeCode=3",
                             "gradeCode=2&subjectCode=7&typeCode=3"}) {
        auto reply = callLoggedIn("getCourseList", list);
        ASSERT_TRUE(treeHas(at(reply, "data"), {kCourseItem}));
        for (const auto& item : at(reply, "data").GetArray()) {
            std::string url = stringOf(item, "url");
            std::string identify = baseName(url);
            auto entries = zipEntryNames(get(pathOf(url))->body);
            for (const auto& entry : entries) {
                EXPECT_EQ(entry.rfind(identify + "/", 0), 0u) << entry;
            }
            EXPECT_NE(std::find(entries.begin(), entries.end(), identify + "/Topic.plist"), entries.end()) << url;
            ++packages;
        }
    }
    EXPECT_EQ(packages, 48u) << "with the eight topic tours";
}

TEST_F(CatalogueReplies, CourseFilesOfAKnownLectureAreServed) {
    auto reply = callLoggedIn("getCourseFileList", "gradeCode=1&lesson=1&phaseCode=1&subjectCode=1&typeCode=1");
    const auto& files = at(reply, "data");
    ASSERT_TRUE(treeHas(files, {"type:i url:s format:s"}));
    ASSERT_EQ(countOf(files), 3);
    EXPECT_EQ(intOf(at(files, 0), "type"), 5);
    EXPECT_EQ(intOf(at(files, 1), "type"), 6);
    // The lecture's own summary: the next lecture's opening carries its name.
    EXPECT_EQ(pathOf(stringOf(at(files, 0), "url")), "/files/coursefiles/0101010101/SumMovie.mp4");
    for (const auto& file : files.GetArray()) {
        EXPECT_EQ(get(pathOf(stringOf(file, "url")))->status, 200);
    }
    auto none = callLoggedIn("getCourseFileList", "gradeCode=1&lesson=9&phaseCode=1&subjectCode=1&typeCode=1");
    EXPECT_EQ(countOf(at(none, "data")), 0);
}

TEST_F(CatalogueReplies, StudentListsFollowTheClass) {
    auto reply = callLoggedIn("getStudentList", "classId=101");
    const auto& pupils = at(reply, "data");
    ASSERT_TRUE(treeHas(pupils, {"id:i name:s sex:s pic:s picSuffix:s"}));
    ASSERT_EQ(countOf(pupils), 9);
    EXPECT_EQ(stringOf(at(pupils, 0), "picSuffix"), ".png");
    EXPECT_EQ(get(pathOf(stringOf(at(pupils, 0), "pic")))->status, 200);
    EXPECT_EQ(stringOf(at(pupils, 7), "pic"), "");
    EXPECT_EQ(get(pathOf(stringOf(at(pupils, 8), "pic")))->status, 404);
    EXPECT_EQ(countOf(at(callLoggedIn("getStudentList", "classId=102"), "data")), 0);
    EXPECT_EQ(countOf(at(callLoggedIn("getStudentList", "classId=501"), "data")), 4);
    EXPECT_EQ(stringOf(at(at(callLoggedIn("getStudentList", "classId=0"), "data"), 0), "name"), "Ruby");
    EXPECT_EQ(countOf(at(callLoggedIn("getStudentList", "classId=103"), "data")), 3);
}

TEST_F(CatalogueReplies, QuestionListOfTheFirstPictureBook) {
    auto reply = callLoggedIn("getCourseQuestionList", "gradeCode=1&lesson=1&phaseCode=1&subjectCode=4&typeCode=2");
    const auto& items = at(reply, "data");
    ASSERT_TRUE(treeHas(items, {"id:i title:s music:s lookImg:s contImgs:a operImgs:a answers:a"}));
    ASSERT_EQ(countOf(items), 3);
    std::set<std::string> names;
    for (const auto& item : items.GetArray()) {
        EXPECT_TRUE(at(at(item, "answers"), 0).IsString());
        std::vector<std::string> urls;
        collectUrls(item, urls);
        for (const auto& url : urls) {
            EXPECT_TRUE(names.insert(baseName(url)).second) << "simple-game names must differ: " << url;
        }
    }
    EXPECT_EQ(countOf(at(at(items, 1), "operImgs")), 4);
    EXPECT_EQ(stringOf(at(items, 2), "music"), "");
    EXPECT_EQ(get(pathOf(stringOf(at(items, 2), "lookImg")))->status, 200);
    auto none = callLoggedIn("getCourseQuestionList", "gradeCode=1&lesson=9&phaseCode=1&subjectCode=4&typeCode=2");
    EXPECT_EQ(countOf(at(none, "data")), 0);
}

TEST_F(CatalogueReplies, VersionOffersTheUpdaterATestAsksFor) {
    auto first = call("version", "id=13", "");
    EXPECT_EQ(stringOf(at(first, "data"), "version"), "1.0.0");
    auto updater = get(pathOf(stringOf(at(first, "data"), "url")));
    EXPECT_EQ(zipEntryNames(updater->body), std::vector<std::string>{"QuorvelWinUpdate.exe"});
    server.setUpdaterVersion("1.0.1");
    auto newer = call("version", "id=13", "");
    EXPECT_EQ(stringOf(at(newer, "data"), "version"), "1.0.1");
    EXPECT_EQ(stringOf(at(newer, "data"), "url"), server.origin() + "/files/updater/QuorvelUpdate.zip");
    server.setUpdaterVersion("2.0.0", "");
    EXPECT_EQ(stringOf(at(call("version", "id=10", ""), "data"), "url"), "");
}
