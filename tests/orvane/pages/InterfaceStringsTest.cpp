// The bundle's "Strings" table holds a text of its own for every key the
// pages, the elements and the root container look up; the texts that take a
// count or a title have exactly one "#" for it and the others none; a key
// the table lacks still gives the key itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "orvane/model/StringExtensions.hpp"

namespace {

struct Key {
    const char* key;
    int marks;  // "#" the text must hold
};

const std::vector<Key> keys{
    // Page titles.
    {"PODCAST_PAGE_TITLE", 0},
    {"EPISODE_PAGE_TITILE", 0},
    {"LIBRARY_PAGE_TITLE", 0},
    {"DISCOVER_PAGE_TITLE", 0},
    // Action sheets: unsubscribe, remove a saved episode, quit.
    {"UNSUBSCRIBE_ACTION_SHEET_TITLE", 0},
    {"UNSUBSCRIBE_ACTION_SHEET_UNSUBSCRIBE", 0},
    {"PODCAST_PAGE_REMOVE_EPISODE_ACTION_SHEET_TITLE", 0},
    {"PODCAST_PAGE_REMOVE_EPISODE_ACTION_SHEET_REMOVE", 0},
    {"QUIT_ACTION_SHEET_TITLE", 0},
    {"QUIT_ACTION_SHEET_KEEP_PLAYING", 0},
    {"QUIT_ACTION_SHEET_QUIT", 0},
    {"CANCEL", 0},
    // Confirmation popups: the title goes where "#" stands.
    {"POPUP_ADD_EPISODE_MESSAGE", 1},
    {"POPUP_PODCAST_SUBSCRIPTION", 1},
    {"POPUP_PODCAST_NOTIFICATION_SUBSCRIPTION", 1},
    // Elements.
    {"DESCRIPTION_PAGE_ELEMENT_HEADER", 0},
    {"DESCRIPTION_CELL_READ_MORE", 0},
    {"CURRENT_PODCAST_PAGE_ELEMENT_HEADER", 0},
    {"EPISODE_CELL_DETAILS", 0},
    {"PODCAST_EPISODES_LIST_PAGE_ELEMENT_SAVED_EPISODES_HEADER", 0},
    {"PODCAST_EPISODES_LIST_PAGE_ELEMENT_OTHER_EPISODES_HEADER_1", 0},
    {"PODCAST_EPISODES_LIST_PAGE_ELEMENT_OTHER_EPISODES_HEADER_2", 0},
    {"PODCAST_SUBSCRIPTION_PAGE_ELEMENT_SUBSCRIBE", 0},
    {"PODCAST_SUBSCRIPTION_PAGE_ELEMENT_UNSUBSCRIBE", 0},
    {"EPISODE_PLAY_PAGE_ELEMENT_PLAY", 0},
    {"EPISODE_PLAY_PAGE_ELEMENT_RESTART", 0},
    {"EPISODE_PLAY_PAGE_ELEMENT_PLAYING", 0},
    {"LIBRARY_PODCASTS_CELL_DOWNLOAD_INFO_0", 0},
    {"LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_0", 0},
    {"LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_1", 0},
    {"LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_N", 1},  // the day count
    {"RECOMMENDATION_LIST_CELL_HEADER", 0},
    {"DISCOVER_RECOMMENDATIONS_PAGE_ELEMENT_HEADER", 0},
    {"RECOMMENDATION_HEADLINES_PAGE_ELEMENT_HEADER", 0},
};

TEST(InterfaceStrings, EveryKeyHasATextOfItsOwnWithItsPlaceholders) {
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        const std::string text = orvane::localized(k.key);
        EXPECT_NE(text, k.key) << "missing from the table";
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(std::count(text.begin(), text.end(), '#'), k.marks);
    }
    // A key the table lacks gives the key itself.
    EXPECT_EQ(orvane::localized("PODCAST_PAGE_SUBTITLE"), "PODCAST_PAGE_SUBTITLE");
}

}  // namespace
