#include "platform/web/EngineJSON.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/StateBuilder.hpp"

namespace {

using platform::core::Json;
using platform::web::EngineJSONOutcome;
using platform::web::jsonFromEngineText;

std::u16string units(std::initializer_list<char16_t> list) { return std::u16string(list); }

// The UTF-16 form of valid UTF-8, as the engine holds a text.
std::u16string utf16FromUTF8(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? byte : byte & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += static_cast<std::size_t>(length);
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

// The engine's text reads as our parser reads the same text in UTF-8: the
// same values, the same kinds of number (the dump shows them), the last of
// repeated keys.
TEST(EngineJSON, ReadsAsOurParserReadsTheSameText) {
    const std::vector<std::string> texts = {
        R"({"b":1,"a":[true,false,null],"c":{"d":"e"}})",
        R"([0,-0,12,-12,18446744073709551615,18446744073709551616,-9223372036854775808,-9223372036854775809])",
        R"([2.5,-0.5,1e21,1E+2,6.02e-23,5e-324,1.7976931348623157e+308,9007199254740993])",
        R"(["", "plain", "\"\\\/\b\f\n\r\t", "\u0000\u001f\u00e9\u20ac", "\ud83c\udfa7", "Épisode €"])",
        R"({"k":1,"k":{"x":[]},"z":{},"y":[[]]})",
        " \n\t{ \"spaced\" : [ 1 , 2 ] }\r\n",
        R"("top")",
        "42",
        "null",
        // Arrays inside arrays and objects at every depth, read while the
        // outer ones are still open.
        R"([[1,[2,[3,[4]]],{"a":[5,6,{"b":[7,[8,9],[]]}],"c":[[],[[]]]}],[10],[],"x",[{"d":[11]},12]])",
        orvane::test::StateBuilder::large().dump(),
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(text.substr(0, 200));
        Json read;
        ASSERT_EQ(jsonFromEngineText(utf16FromUTF8(text), read, 1000), EngineJSONOutcome::value);
        const Json expected = Json::parse(text);
        EXPECT_EQ(read, expected);
        EXPECT_EQ(read.dump(), expected.dump());
    }
}

// Lone surrogates, raw or escaped, read as U+FFFD; texts that are not one
// JSON value and nesting beyond the limit are refused.
TEST(EngineJSON, MendsLoneSurrogatesAndRefusesWhatIsNotOneValue) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        std::u16string text;
        EngineJSONOutcome outcome;
        std::optional<Json> value = {};
    };
    const std::vector<Case> cases = {
        {u"[\"\\udc00x\\ud800\",\"\\ud800\\u0041\",\"\\uDBFF\"]", EngineJSONOutcome::value,
         Json{replacement + "x" + replacement, replacement + "A", replacement}},
        {units({'"', 0xD83C, 'a', 0xDFA7, 0xD83C, 0xDFA7, '"'}), EngineJSONOutcome::value,
         Json(replacement + "a" + replacement + "\xF0\x9F\x8E\xA7")},
        {units({'"', 0xD800, '\\', 'u', 'd', 'c', '0', '0', '"'}), EngineJSONOutcome::value,
         Json(replacement + replacement)},
        {u"[[[]]]", EngineJSONOutcome::value, Json::parse("[[[]]]")},
        {u"[[[[]]]]", EngineJSONOutcome::tooDeep},
        {u"{\"a\":{\"b\":{\"c\":{}}}}", EngineJSONOutcome::tooDeep},
        {u"", EngineJSONOutcome::malformed},
        {u"[1,]", EngineJSONOutcome::malformed},
        {u"{\"a\" 1}", EngineJSONOutcome::malformed},
        {u"[01]", EngineJSONOutcome::malformed},
        {u"[1.]", EngineJSONOutcome::malformed},
        {u"[.5]", EngineJSONOutcome::malformed},
        {u"[1e999]", EngineJSONOutcome::malformed},
        {u"\"open", EngineJSONOutcome::malformed},
        {u"\"\\x\"", EngineJSONOutcome::malformed},
        {u"\"\\u12\"", EngineJSONOutcome::malformed},
        {units({'"', 0x0A, '"'}), EngineJSONOutcome::malformed},
        {u"tru", EngineJSONOutcome::malformed},
        {u"1 2", EngineJSONOutcome::malformed},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.text.begin(), test.text.end()));
        Json read = "untouched";
        EXPECT_EQ(jsonFromEngineText(test.text, read, 3), test.outcome);
        if (test.value) {
            EXPECT_EQ(read, *test.value);
        }
    }
}

// Kept, a lone surrogate, raw or escaped, reads as its generalized UTF-8
// form; pairs stay characters; the reader says whether it met one.
TEST(EngineJSON, KeepsLoneSurrogatesWhenAsked) {
    struct Case {
        std::u16string text;
        Json kept;
        bool lone;
    };
    const std::vector<Case> cases = {
        {u"[\"\\udc00x\\ud800\",\"\\ud83c\\udfa7\\uDBFF\"]",
         Json{"\xED\xB0\x80x\xED\xA0\x80", "\xF0\x9F\x8E\xA7\xED\xAF\xBF"}, true},
        {units({'"', 0xDFA7, 0xD83C, 'a', 0xD83C, 0xDFA7, '"'}), Json("\xED\xBE\xA7\xED\xA0\xBC" "a\xF0\x9F\x8E\xA7"),
         true},
        {units({'"', 0xD800, '\\', 'u', 'd', 'c', '0', '0', '"'}), Json("\xED\xA0\x80\xED\xB0\x80"), true},
        {u"{\"\\ud83c\\udfa7\":\"\\ufffd\"}", Json{{"\xF0\x9F\x8E\xA7", "\xEF\xBF\xBD"}}, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.kept.dump(-1, ' ', true, Json::error_handler_t::replace));
        for (const auto how : {platform::web::LoneSurrogates::replace, platform::web::LoneSurrogates::keep}) {
            Json read;
            bool lone = !test.lone;
            ASSERT_EQ(jsonFromEngineText(test.text, read, 3, how, &lone), EngineJSONOutcome::value);
            EXPECT_EQ(lone, test.lone);
            if (how == platform::web::LoneSurrogates::keep) {
                EXPECT_EQ(read, test.kept);
            }
        }
    }
}

}  // namespace
