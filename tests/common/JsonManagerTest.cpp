#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>
#include <thread>
#include <vector>

#include "CommonTestSupport.h"
#include "base/InputLimits.h"
#include "common/JsonManager.h"
#include "net/NetLimits.h"
#include "net/ReplyDoor.h"

namespace {

class JsonFixture : public ::testing::Test {
protected:
    rapidjson::Document parse(const std::string& text) { return ReplyDoor::parse(text); }

    JsonManager* json = JsonManager::getInstance();
    commontest::LogCapture log;
};

class JsonParse : public JsonFixture {};
class JsonDeepNesting : public JsonFixture {};
class JsonTypedReads : public JsonFixture {};
class JsonCourseware : public JsonFixture {};
class JsonQuestion : public JsonFixture {};

std::string nested(size_t depth) {
    return std::string(depth, '[') + "1" + std::string(depth, ']');
}

TEST_F(JsonParse, TextThatIsNotJsonGivesANullDocument) {
    rapidjson::Document empty = parse("{}");
    ASSERT_TRUE(empty.IsObject());
    EXPECT_EQ(empty.MemberCount(), 0u);
    for (const char* text : {"", "not json", "{\"code\":0", "{} trailing", "{\"a\":1,}"}) {
        EXPECT_TRUE(parse(text).IsNull()) << text;
    }
}

// The next parse may take a gone document's memory, never a live one's; a document outlives its parsing thread.
TEST_F(JsonParse, DocumentsKeepTheirOwnValues) {
    auto text = [](size_t i) {
        return "{\"name\":\"reply number " + std::to_string(i) + " of a long list\",\"list\":[" + std::to_string(i) +
               "]}";
    };
    std::vector<rapidjson::Document> documents;
    for (size_t i = 0; i < 6; ++i) {
        documents.push_back(parse(text(i)));
    }
    documents.erase(documents.begin() + 1);
    documents.push_back(parse(text(6)));
    for (size_t i = 0; i < documents.size(); ++i) {
        EXPECT_EQ(json->toString(documents[i]), text(i ? i + 1 : 0));
    }
    const std::string big = "{\"data\":\"" + std::string(1 << 20, 'x') + "\"}";
    rapidjson::Document fromThread;
    std::thread([&] { fromThread = parse(big); }).join();
    EXPECT_EQ(json->toString(fromThread), big);
}

TEST_F(JsonParse, ReplyParsedAgainFaultsInNoNewMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator never hands freed memory back at once";
#endif
    std::string text = "{\"data\":[";
    for (int i = 0; i < 4000; ++i) {
        text +=
            (i ? ",{" : "{") + std::string("\"id\":") + std::to_string(i) +
            ",\"url\":\"http://127.0.0.1:8765/files/courseware/lecture.zip\",\"name\":\"Lecture, shapes and stories\"}";
    }
    text += "]}";
    auto faults = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_minflt;
    };
    EXPECT_TRUE(parse(text).IsObject());
    const long before = faults();
    const rapidjson::Document again = parse(text);
    EXPECT_LT(faults() - before, 16) << "a first parse of this megabyte faults in some 400 pages";
    EXPECT_EQ(again["data"].Size(), 4000u);
}

TEST_F(JsonParse, ToStringIsCompact) {
    EXPECT_EQ(json->toString(parse("{ \"a\" : 1 }")), "{\"a\":1}");
    EXPECT_EQ(json->toString(parse("[ \"x\", null, {\"b\": [ ] } ]")), "[\"x\",null,{\"b\":[]}]");
    EXPECT_EQ(json->toString(parse("\xEF\xBB\xBF{\"a\":\"\\u00e9\"}")), "{\"a\":\"\xC3\xA9\"}");
}

TEST_F(JsonDeepNesting, VeryDeepTextIsRefusedWithoutOverflowingTheStack) {
    EXPECT_TRUE(parse(nested(200000)).IsNull());
    rapidjson::Document deepMember = parse("{\"code\":0,\"data\":" + nested(100000) + "}");
    EXPECT_FALSE(deepMember.IsObject());
    EXPECT_EQ(json->getInt(deepMember, "code"), 0);
}

TEST_F(JsonDeepNesting, DepthLimitIsInclusive) {
    rapidjson::Document atLimit = parse(nested(engine::limits::kReplyJsonDepth));
    ASSERT_TRUE(atLimit.IsArray());
    EXPECT_EQ(json->toString(atLimit), nested(engine::limits::kReplyJsonDepth));
    EXPECT_TRUE(parse(nested(engine::limits::kReplyJsonDepth + 1)).IsNull());
}

TEST_F(JsonDeepNesting, ToStringRefusesAValueBuiltTooDeep) {
    rapidjson::Document document;
    rapidjson::Value* inner = &document.SetArray();
    for (size_t i = 0; i < engine::limits::kReplyJsonDepth + 10; ++i) {
        inner->PushBack(rapidjson::Value(rapidjson::kArrayType), document.GetAllocator());
        inner = &(*inner)[rapidjson::SizeType(0)];
    }
    EXPECT_EQ(json->toString(document), "");
}

TEST_F(JsonTypedReads, MissingAndNullMembersGiveDefaultsQuietly) {
    rapidjson::Document document = parse("{\"code\":null,\"msg\":null,\"status\":401,\"text\":\"hello\"}");
    EXPECT_EQ(json->getInt(document, "code"), 0);
    EXPECT_EQ(json->getInt(document, "absent"), 0);
    EXPECT_EQ(json->getInt(document, "status"), 401);
    EXPECT_EQ(json->getString(document, "msg"), "");
    EXPECT_EQ(json->getString(document, "absent"), "");
    EXPECT_EQ(json->getString(document, "text"), "hello");
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(JsonTypedReads, MemberOfAnotherTypeGivesTheDefaultAndALogLine) {
    rapidjson::Document document = parse("{\"s\":\"401\",\"d\":1.5,\"b\":true,\"big\":3000000000,\"a\":[1],\"o\":{}}");
    for (const char* key : {"s", "d", "b", "big", "a", "o"}) {
        log.lines.clear();
        EXPECT_EQ(json->getInt(document, key), 0) << key;
        EXPECT_EQ(log.lines.size(), 1u) << key;
    }
    for (const char* key : {"d", "b", "a"}) {
        log.lines.clear();
        EXPECT_EQ(json->getString(document, key), "") << key;
        EXPECT_EQ(log.lines.size(), 1u) << key;
    }
}

TEST_F(JsonTypedReads, ReadsFromAValueThatIsNotAnObject) {
    for (const char* text : {"[1,2]", "\"code\"", "7", "not json"}) {
        rapidjson::Document document = parse(text);
        EXPECT_EQ(json->getInt(document, "code"), 0) << text;
        EXPECT_EQ(json->getString(document, "code"), "") << text;
    }
}

TEST_F(JsonTypedReads, ArrayMemberIsFoundOrReadsAsNone) {
    rapidjson::Document document = parse("{\"list\":[1,{}],\"empty\":[],\"gone\":null,\"text\":\"[1]\"}");
    const rapidjson::Value* list = json->getArray(document, "list");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Size(), 2u);
    ASSERT_NE(json->getArray(document, "empty"), nullptr);
    EXPECT_EQ(json->getArray(document, "empty")->Size(), 0u);
    EXPECT_EQ(json->getArray(document, "gone"), nullptr);
    EXPECT_EQ(json->getArray(document, "absent"), nullptr);
    EXPECT_TRUE(log.lines.empty());

    EXPECT_EQ(json->getArray(document, "text"), nullptr);
    EXPECT_EQ(log.lines.size(), 1u);
    log.lines.clear();
    EXPECT_EQ(json->getArray(parse("[[1]]"), "list"), nullptr);
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST_F(JsonTypedReads, WalkVisitsTheObjectsOfAnArrayOnly) {
    rapidjson::Document document = parse(R"([{"a":1},2,"x",{"a":3},null])");
    int sum = 0;
    json->forEachObject(json->asArray(document, "data"), "data",
                        [&](const rapidjson::Value& item) { sum += json->getInt(item, "a"); });
    EXPECT_EQ(sum, 4);
    EXPECT_EQ(log.lines.size(), 3u);

    log.lines.clear();
    EXPECT_EQ(json->asArray(parse("null"), "data"), nullptr);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(json->asArray(parse(R"({"a":[1]})"), "data"), nullptr);
    EXPECT_EQ(log.lines.size(), 1u);
    json->forEachObject(nullptr, "data", [&](const rapidjson::Value&) { ++sum; });
    EXPECT_EQ(sum, 4);
}

TEST_F(JsonCourseware, ItemFillsItsFieldsAndLeavesTheRest) {
    rapidjson::Document item = parse(R"({"id":31,"type":2,"subject":3,"grade":5,"phase":1,"lesson":12,
        "hash":"abc","name":"L12","url":"http://x/y.zip","size":2048,"version":"1&2","text1":"t"})");
    CoursewareData data = json->readCourseware(item);
    EXPECT_EQ(data.CoursewareId, 31);
    EXPECT_EQ(data.CourseCode, 2);
    EXPECT_EQ(data.SubjectCode, 3);
    EXPECT_EQ(data.GradeCode, 5);
    EXPECT_EQ(data.StageCode, 1);
    EXPECT_EQ(data.LectureCode, 12);
    EXPECT_EQ(data.Hash + data.LectureName + data.Url + data.Version + data.text1, "abcL12http://x/y.zip1&2t");
    EXPECT_EQ(data.ResSize, 2048);
    EXPECT_TRUE(data.Identify.empty());
    EXPECT_EQ(data.state, 1);
}

TEST_F(JsonCourseware, MissingSubjectStoresZeroButANonObjectKeepsTheDefaults) {
    EXPECT_EQ(json->readCourseware(parse("{\"id\":4}")).SubjectCode, 0);
    CoursewareData fromArray = json->readCourseware(parse("[{\"subject\":3}]"));
    EXPECT_EQ(fromArray.SubjectCode, 1);
    EXPECT_EQ(fromArray.state, 1);
}

TEST_F(JsonCourseware, WrongTypedMemberDoesNotSpoilTheOthers) {
    CoursewareData data = json->readCourseware(parse("{\"size\":\"2048\",\"name\":7,\"lesson\":9,\"hash\":\"h\"}"));
    EXPECT_EQ(data.ResSize, 0);
    EXPECT_EQ(data.LectureName, "");
    EXPECT_EQ(data.LectureCode, 9);
    EXPECT_EQ(data.Hash, "h");
}

TEST_F(JsonCourseware, FirstMemberOfANameCountsInAnyOrder) {
    CoursewareData data =
        json->readCourseware(parse(R"({"url":"u","extra":1,"id":7,"id":8,"text1":null,"url":"v","grade":2})"));
    EXPECT_EQ(data.CoursewareId, 7);
    EXPECT_EQ(data.Url, "u");
    EXPECT_EQ(data.GradeCode, 2);
    EXPECT_EQ(data.text1, "");
}

TEST_F(JsonQuestion, ItemFillsEveryField) {
    SimpleGameItem item = json->readQuestion(parse(R"({"id":8,"title":"Which?","music":"q","lookImg":"l",
        "contImgs":["c1"],"operImgs":["o1","o2","o3"],"answers":["2"]})"));
    EXPECT_EQ(item.id, 8);
    EXPECT_EQ(item.title + item.music + item.lookImg, "Which?ql");
    EXPECT_EQ(item.contImgs, std::vector<std::string>{"c1"});
    EXPECT_EQ(item.operImgs, (std::vector<std::string>{"o1", "o2", "o3"}));
    EXPECT_EQ(item.answers, std::vector<std::string>{"2"});
}

TEST_F(JsonQuestion, MissingEmptyOrNonArrayListsGiveEmptyLists) {
    SimpleGameItem item = json->readQuestion(parse("{\"contImgs\":[],\"operImgs\":\"o1\",\"answers\":null}"));
    EXPECT_TRUE(item.contImgs.empty());
    EXPECT_TRUE(item.operImgs.empty());
    EXPECT_TRUE(item.answers.empty());
    EXPECT_EQ(log.lines.size(), 1u); // only for the string where an array belongs
    EXPECT_TRUE(json->readQuestion(parse("[\"title\"]")).title.empty());
}

TEST_F(JsonQuestion, NumbersBecomeTextAndOtherElementsKeepTheirPlaceAsEmptyText) {
    SimpleGameItem item = json->readQuestion(
        parse("{\"id\":\"8\",\"title\":12,\"operImgs\":[\"a\",2,null,{},\"d\"],\"answers\":[3, 2.5]}"));
    EXPECT_EQ(item.id, 8);
    EXPECT_EQ(item.title, "12");
    EXPECT_EQ(item.operImgs, (std::vector<std::string>{"a", "2", "", "", "d"}));
    EXPECT_EQ(item.answers, (std::vector<std::string>{"3", "2.5"}));
}

} // namespace

namespace {

// A cut list keeps its first items whole and what follows it; the items left out may nest.
TEST(ReplyDoorCut, AListPastItsCapKeepsItsFirstItemsAndWhatFollows) {
    std::string items;
    for (size_t i = 0; i < netlimits::kLectureItems + 2; ++i) {
        items += (i ? ",{\"id\":" : "{\"id\":") + std::to_string(i) + ",\"tags\":[[1],{\"a\":[2]}]}";
    }
    const ReplyDoor::Reply reply = ReplyDoor::read("{\"data\":[" + items + "],\"after\":7}", ReplyDoor::Kind::LECTURES);
    ASSERT_EQ(reply.verdict, ReplyDoor::Verdict::CUT);
    const rapidjson::Value& data = reply.document["data"];
    ASSERT_EQ(data.Size(), netlimits::kLectureItems);
    EXPECT_EQ(data[data.Size() - 1]["id"].GetInt(), static_cast<int>(netlimits::kLectureItems) - 1);
    EXPECT_EQ(reply.document["after"].GetInt(), 7);
}

} // namespace
