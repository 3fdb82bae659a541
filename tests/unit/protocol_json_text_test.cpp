// The JSON of korvelux-ctl's output and state files: the writer's exact text, and the reader's answer to
// good and bad documents.
#include <gtest/gtest.h>

#include <string>

#include "protocol/json_text.h"

namespace kvx {
namespace protocol_json_text_test {

Json parsed(const std::string& text) {
    std::string error;
    const std::optional<Json> value = parseJson(text, error);
    EXPECT_TRUE(value.has_value()) << text << ": " << error;
    return value.value_or(Json());
}

TEST(JsonWriter, WritesMembersInOrderNumbersWholeAndTextsEscaped) {
    Json object{Json::Object{}};
    object.add("LayoutMode", 160)
        .add("Name", "Cam \"A\"\\1\n\t\x01 \xC3\xA9")
        .add("List", Json::Array{1, -2, 0.5, true, false, Json()})
        .add("Empty", Json(Json::Object{}));
    EXPECT_EQ(writeJson(object),
              "{\"LayoutMode\":160,\"Name\":\"Cam \\\"A\\\"\\\\1\\n\\t\\u0001 "
              "\xC3\xA9\",\"List\":[1,-2,0.5,true,false,"
              "null],\"Empty\":{}}\n");
    EXPECT_EQ(writeJson(object, true),
              "{\n  \"LayoutMode\": 160,\n  \"Name\": \"Cam \\\"A\\\"\\\\1\\n\\t\\u0001 \xC3\xA9\",\n"
              "  \"List\": [1, -2, 0.5, true, false, null],\n  \"Empty\": {}\n}\n");
    EXPECT_EQ(jsonLiteral(Json("x")), "\"x\"");
    EXPECT_EQ(jsonLiteral(Json(4294967295u)), "4294967295");
}

TEST(JsonReader, ReadsBackWhatTheWriterWrote) {
    Json object{Json::Object{}};
    object.add("a", Json::Array{Json::Array{}, Json(Json::Object{{"b", "\xF0\x9F\x8E\xA5"}})}).add("n", -17);
    for (bool indented : {false, true}) EXPECT_EQ(parsed(writeJson(object, indented)), object);
}

TEST(JsonReader, ReadsEscapesAndNumbers) {
    const Json value = parsed(" [\"\\u0041\\u00e9\\ud83c\\udfa5\\/\\b\\f\\r\", 1e2, -0.25, 0, 12] ");
    const Json::Array& array = *value.asArray();
    EXPECT_EQ(*array[0].asString(), "A\xC3\xA9\xF0\x9F\x8E\xA5/\b\f\r");
    EXPECT_EQ(*array[1].asNumber(), 100);
    EXPECT_EQ(*array[2].asNumber(), -0.25);
    EXPECT_EQ(*array[3].asNumber(), 0);
    EXPECT_EQ(*array[4].asNumber(), 12);
    EXPECT_EQ(parsed("{\"x\":{\"y\":null}}").member("x")->member("y")->isNull(), true);
    EXPECT_EQ(parsed("{}").member("x"), nullptr);
}

struct BadCase {
    std::string text;
    std::string error;  // the start of the reason
};

class JsonReaderRefuses : public testing::TestWithParam<BadCase> {};

TEST_P(JsonReaderRefuses, SaysWhyAndWhere) {
    std::string error;
    EXPECT_FALSE(parseJson(GetParam().text, error).has_value());
    EXPECT_EQ(error.rfind(GetParam().error, 0), 0u) << error;
    EXPECT_NE(error.find(" at byte "), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, JsonReaderRefuses,
    testing::Values(BadCase{"", "a value is missing"}, BadCase{"{} {}", "text after the JSON value"},
                    BadCase{"{\"a\":1,\"a\":2}", "member \"a\" given twice"},
                    BadCase{"{\"a\" 1}", "':' is missing"}, BadCase{"{\"a\":1,}", "a member name is missing"},
                    BadCase{"[1 2]", "',' or ']' is missing"}, BadCase{"[1,", "a value is missing"},
                    BadCase{"\"abc", "a text is not closed"}, BadCase{"\"a\\", "a text is not closed"},
                    BadCase{"\"a\nb\"", "a control character inside a text"},
                    BadCase{"\"\\x\"", "a bad escape"}, BadCase{"\"\\ud83c\"", "a bad \\u escape"},
                    BadCase{"\"\\udfa5\"", "a bad \\u escape"}, BadCase{"\"\\u12\"", "a bad \\u escape"},
                    BadCase{"\"\xC3\x28\"", "a text that is not UTF-8"},
                    BadCase{"-", "a number has no digits"}, BadCase{"1.", "a fraction has no digits"},
                    BadCase{"1e", "an exponent has no digits"}, BadCase{"01", "text after the JSON value"},
                    BadCase{"1e999", "a number is out of range"}, BadCase{"tru", "unexpected character"},
                    BadCase{std::string(65, '[') + std::string(65, ']'), "nesting deeper than 64 levels"}));

TEST(JsonReader, TakesNestingOf64Levels) {
    EXPECT_TRUE(parsed(std::string(64, '[') + std::string(64, ']')).asArray());
}

}  // namespace protocol_json_text_test
}  // namespace kvx
