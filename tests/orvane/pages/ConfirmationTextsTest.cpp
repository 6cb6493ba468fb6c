// The confirmation texts shown after an episode is saved or a subscription is
// made: the first "#" of the message becomes the bold title, the rest keeps
// the regular popup font, all white; no "#" or no font gives no text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVLibraryPage.hpp"

namespace {

using namespace orvane;
using platform::ui::AttributedString;
using platform::graphics::Color;
using platform::ui::Font;
using platform::ui::TextAttributes;
using platform::ui::TextRange;

struct Piece {
    std::string text;
    bool bold;
};

// The text's runs as (text, bold font?), each run checked to be white and to
// carry nothing but a font and a colour.
std::vector<Piece> runsOf(const AttributedString& text, const Font& regular, const Font& bold) {
    std::vector<Piece> runs;
    text.enumerateAttributes(text.fullRange(), [&](const TextAttributes& a, TextRange range, bool&) {
        EXPECT_EQ(a.foregroundColor, Color::white());
        EXPECT_FALSE(a.paragraphStyle.has_value());
        EXPECT_FALSE(a.link.has_value());
        EXPECT_TRUE(a.font == regular || a.font == bold);
        runs.push_back({text.string().substr(range.location, range.length), a.font == bold});
    });
    return runs;
}

TEST(ConfirmationTexts, TheFirstHashBecomesTheBoldTitle) {
    const Font regular = Font::systemFont(13);
    const Font bold = Font::boldSystemFont(13);
    ASSERT_FALSE(regular == bold);
    struct Case {
        std::string message;
        std::string title;
        std::string expected;
        std::vector<Piece> runs;
    };
    const std::vector<Case> cases = {
        {"Saved: # in your library", "Episode 12", "Saved: Episode 12 in your library",
         {{"Saved: ", false}, {"Episode 12", true}, {" in your library", false}}},
        {"# and # again", "A", "A and # again", {{"A", true}, {" and # again", false}}},
        {"Ends with #", "B", "Ends with B", {{"Ends with ", false}, {"B", true}}},
        {"You follow # now", "", "You follow  now", {{"You follow  now", false}}},
        {"#", "été", "été", {{"été", true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const auto text = OVLibraryPage::popupAttributedText(c.message, c.title, regular, bold);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text->string(), c.expected);
        const auto runs = runsOf(*text, regular, bold);
        ASSERT_EQ(runs.size(), c.runs.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].text, c.runs[i].text);
            EXPECT_EQ(runs[i].bold, c.runs[i].bold);
        }
    }
}

TEST(ConfirmationTexts, NoHashOrNoFontGivesNone) {
    const OVConstants::OptionalFont regular = Font::systemFont(13), bold = Font::boldSystemFont(13), none;
    for (const auto& [message, font, boldFont] : {std::tuple{"No mark here", regular, bold}, {"", regular, bold},
                                                  {"Saved: #", none, bold}, {"Saved: #", regular, none}}) {
        EXPECT_FALSE(OVLibraryPage::popupAttributedText(message, "T", font, boldFont)) << message;
    }
}

TEST(ConfirmationTexts, EachBuilderUsesItsMessageAndThePopupFonts) {
    const auto episode = OVTrack::create("e12", "Episode 12", std::nullopt, OVAudio{}, OVObjDescription{}, std::nullopt);
    // The popup faces are the phone's; here the bundle's substitutes stand in.
    const auto regular = OVConstants::OVPopup::font();
    const auto bold = OVConstants::OVPopup::boldFont();
    ASSERT_TRUE(regular && bold);
    EXPECT_EQ(regular->postScriptName(), "Lato-Medium");
    EXPECT_EQ(bold->postScriptName(), "Lato-Semibold");
    struct Case {
        std::optional<AttributedString> text;
        std::string key;
        std::string title;
    };
    const std::vector<Case> cases = {
        {OVLibraryPage::popupAttributedText(*episode), "POPUP_ADD_EPISODE_MESSAGE", "Episode 12"},
        {OVLibraryPage::popupAttributedText(OVSubscription::podcast, "The Show"), "POPUP_PODCAST_SUBSCRIPTION",
         "The Show"},
        {OVLibraryPage::popupAttributedText(OVSubscription::notification, std::nullopt),
         "POPUP_PODCAST_NOTIFICATION_SUBSCRIPTION", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        // Every message of the bundle has exactly one place for the title.
        const std::string message = localized(c.key);
        ASSERT_EQ(std::count(message.begin(), message.end(), '#'), 1);
        ASSERT_TRUE(c.text.has_value());
        std::string expected = message;
        const std::size_t hash = expected.find('#');
        expected.replace(hash, 1, c.title);
        EXPECT_EQ(c.text->string(), expected);
        // The title stands in the bold face, the rest in the regular one.
        std::vector<Piece> runs;
        if (hash > 0) runs.push_back({message.substr(0, hash), false});
        if (!c.title.empty()) runs.push_back({c.title, true});
        if (hash + 1 < message.size()) runs.push_back({message.substr(hash + 1), false});
        const auto actual = runsOf(*c.text, *regular, *bold);
        ASSERT_EQ(actual.size(), runs.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(actual[i].text, runs[i].text);
            EXPECT_EQ(actual[i].bold, runs[i].bold);
        }
    }
}

TEST(ConfirmationTexts, WithoutTheFacesOrTheirSubstitutesThereIsNoText) {
    const auto empty = std::filesystem::temp_directory_path() /
                       ("orvane-confirmation-no-substitutes-" + std::to_string(::getpid()) + ".json");
    std::ofstream(empty) << "{}";
    Font::setSubstitutionTableFile(empty);
    struct RestoreTable {
        ~RestoreTable() { Font::setSubstitutionTableFile(std::nullopt); }
    } restore;
    const auto episode = OVTrack::create("e12", "Episode 12", std::nullopt, OVAudio{}, OVObjDescription{}, std::nullopt);
    EXPECT_FALSE(OVConstants::OVPopup::font());
    EXPECT_FALSE(OVLibraryPage::popupAttributedText(*episode));
    EXPECT_FALSE(OVLibraryPage::popupAttributedText(OVSubscription::podcast, "The Show"));
    Font::setSubstitutionTableFile(std::nullopt);
    std::filesystem::remove(empty);
    EXPECT_TRUE(OVLibraryPage::popupAttributedText(*episode));
}

}  // namespace
