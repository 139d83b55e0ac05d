#include <climits>

#include <gtest/gtest.h>

#include "base/Value.h"

using engine::Value;
using engine::ValueMap;
using engine::ValueVector;

TEST(ValueLookup, MissingKeyReadsNullWithoutInserting) {
    ValueMap map{{"Frames", Value(5)}};
    const Value& missing = engine::valueOrNull(map, "Loop");
    EXPECT_TRUE(missing.isNull());
    EXPECT_EQ(missing.asInt(), 0);
    EXPECT_EQ(missing.asString(), "");
    EXPECT_EQ(map.size(), 1u);
    EXPECT_EQ(engine::valueOrNull(map, "Frames").asInt(), 5);

    // A chain through a missing dict stays empty and inserts nowhere.
    const Value& deep = engine::valueOrNull(engine::valueOrNull(map, "Pupils").asValueMap(), "Name");
    EXPECT_TRUE(deep.isNull());
    EXPECT_EQ(map.size(), 1u);
}

TEST(ValueContainers, WrongTypesGiveEmptyContainers) {
    const Value values[] = {Value(), Value(3), Value(2.5), Value(true), Value("text"), Value(ValueVector{Value(1)})};
    for (const Value& value : values) {
        EXPECT_TRUE(value.asValueMap().empty());
    }
    EXPECT_TRUE(Value(ValueMap{{"a", Value(1)}}).asValueVector().empty());
    EXPECT_TRUE(Value("list").asValueVector().empty());
    EXPECT_TRUE(engine::ValueMapNull.empty());
    EXPECT_TRUE(engine::ValueVectorNull.empty());
}

TEST(ValueContainers, NestedContainersCopyDeeply) {
    ValueMap inner{{"Answers", Value(ValueVector{Value("A"), Value(2)})}};
    Value original(ValueMap{{"Question", Value(inner)}});
    Value copy = original;
    EXPECT_EQ(copy, original);

    Value changed(ValueMap{{"Question", Value(ValueMap{})}});
    copy = changed;
    EXPECT_EQ(original.asValueMap().at("Question").asValueMap().at("Answers").asValueVector().size(), 2u);

    // Assigning a value from inside itself must not read freed memory.
    original = original.asValueMap().at("Question");
    ASSERT_EQ(original.getType(), Value::Type::MAP);
    EXPECT_EQ(original.asValueMap().at("Answers").asValueVector().at(0).asString(), "A");

    Value moved = std::move(copy);
    EXPECT_EQ(moved, changed);
}

TEST(ValueConversion, AsStringForms) {
    EXPECT_EQ(Value(5).asString(), "5");
    EXPECT_EQ(Value(-12).asString(), "-12");
    EXPECT_EQ(Value(0.5).asString(), "0.5");
    EXPECT_EQ(Value(5.0).asString(), "5");
    EXPECT_EQ(Value(0.1).asString(), "0.1");
    EXPECT_EQ(Value(0.1f).asString(), "0.1");
    EXPECT_EQ(Value(true).asString(), "true");
    EXPECT_EQ(Value(false).asString(), "false");
    EXPECT_EQ(Value("as is").asString(), "as is");
    EXPECT_EQ(Value().asString(), "");
    EXPECT_EQ(Value(ValueVector{Value(1)}).asString(), "");
    EXPECT_EQ(Value(ValueMap{{"a", Value(1)}}).asString(), "");
}

TEST(ValueConversion, AsIntForms) {
    EXPECT_EQ(Value("2").asInt(), 2);
    EXPECT_EQ(Value("abc").asInt(), 0);
    EXPECT_EQ(Value("").asInt(), 0);
    EXPECT_EQ(Value(3.9).asInt(), 3);
    EXPECT_EQ(Value(-3.9f).asInt(), -3);
    EXPECT_EQ(Value(1e20).asInt(), INT_MAX);
    EXPECT_EQ(Value("99999999999").asInt(), INT_MAX);
    EXPECT_EQ(Value(true).asInt(), 1);
    EXPECT_EQ(Value(4000000000u).getType(), Value::Type::INTEGER);
    EXPECT_EQ(Value().asInt(), 0);
    EXPECT_EQ(Value(ValueMap{{"a", Value(1)}}).asInt(), 0);
}

TEST(ValueConversion, AsRealAndBoolForms) {
    EXPECT_DOUBLE_EQ(Value("2.5").asDouble(), 2.5);
    EXPECT_FLOAT_EQ(Value(7).asFloat(), 7.0f);
    EXPECT_FLOAT_EQ(Value(0.25).asFloat(), 0.25f);
    EXPECT_DOUBLE_EQ(Value(ValueVector{Value(1)}).asDouble(), 0.0);

    for (const char* falseText : {"", "0", "false"}) {
        EXPECT_FALSE(Value(falseText).asBool()) << falseText;
    }
    EXPECT_TRUE(Value("yes").asBool());
    EXPECT_TRUE(Value(-1).asBool());
    EXPECT_FALSE(Value(0.0).asBool());
    EXPECT_TRUE(Value(0.5f).asBool());
    EXPECT_FALSE(Value().asBool());
}

TEST(ValueEquality, ComparesTypeAndContent) {
    EXPECT_EQ(Value("a"), Value(std::string("a")));
    EXPECT_NE(Value(1), Value(1.0));
    EXPECT_NE(Value(1), Value("1"));
    EXPECT_EQ(Value(), Value::Null);
    EXPECT_TRUE(Value(static_cast<const char*>(nullptr)).isNull());
    ValueMap a{{"k", Value(ValueVector{Value(1), Value("x")})}};
    ValueMap b = a;
    EXPECT_EQ(Value(a), Value(b));
    b["k"] = Value(ValueVector{Value(1), Value("y")});
    EXPECT_NE(Value(a), Value(b));
}
