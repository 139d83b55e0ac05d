#include "FormBody.h"
#include "ServerTest.h"

using courseware::FormBody;

TEST(FormBodyDecoding, DecodesPercentEscapesAndPlus) {
    EXPECT_EQ(FormBody::decode("a%20b+c"), "a b c");
    EXPECT_EQ(FormBody::decode("%5B%7B%22id%22%3A1%7D%5D"), "[{\"id\":1}]");
    EXPECT_EQ(FormBody::decode("%2c%2C"), ",,");
    EXPECT_EQ(FormBody::decode("%26%3D%25%2B"), "&=%+");
}

TEST(FormBodyDecoding, KeepsAPercentThatIsNoEscape) {
    EXPECT_EQ(FormBody::decode("100%"), "100%");
    EXPECT_EQ(FormBody::decode("%4"), "%4");
    EXPECT_EQ(FormBody::decode("%zz%4g"), "%zz%4g");
    EXPECT_EQ(FormBody::decode("[{\"studentId\":-3}]"), "[{\"studentId\":-3}]");
}

TEST(FormBodyParsing, KeepsBodyOrderAndSplitsAtTheFirstEquals) {
    FormBody body = FormBody::parse("b=2&a=x=y&c=");
    ASSERT_TRUE(body.ok());
    courseware::FormFields expected = {{"b", "2"}, {"a", "x=y"}, {"c", ""}};
    EXPECT_EQ(body.fields(), expected);
    EXPECT_TRUE(FormBody::parse("").ok());
    EXPECT_TRUE(FormBody::parse("").fields().empty());
}

TEST(FormBodyParsing, RefusesEmptyOrNamelessParts) {
    for (const char* text : {"a=1&", "&a=1", "a=1&&b=2", "a", "=1"}) {
        FormBody body = FormBody::parse(text);
        EXPECT_FALSE(body.ok()) << text;
        EXPECT_TRUE(body.fields().empty()) << text;
    }
}

using FormBodyOnTheWire = ServerTest;

TEST_F(FormBodyOnTheWire, PercentEncodedAndRawBodiesGiveTheSameFields) {
    EXPECT_EQ(codeOf(call("login", "password=%31%32%33%34&username=teach%65r", "")), 0);
    std::string token = login();
    server.clearRecords();
    call("getCourseIcon", "appId=9+x%26y%3Dz", token);
    call("getCourseIcon", "appId=9 x", token);
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].field("appId"), "9 x&y=z");
    EXPECT_EQ(requests[1].field("appId"), "9 x");
}

TEST_F(FormBodyOnTheWire, EncodedKeysAreDecodedBeforeTheFieldCheck) {
    EXPECT_EQ(codeOf(callLoggedIn("getStudentList", "%63lassId=%31%30%31")), 0);
    EXPECT_NE(codeOf(callLoggedIn("getStudentList", "class%69d=101")), 0);
}
