#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/core/Bundle.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/core/Observable.hpp"

using namespace platform::core;

TEST(NotificationCenter, FiltersBySenderAndRemovesByObserverAndToken) {
    auto center = NotificationCenter::create();
    auto itemA = std::make_shared<int>(1);
    auto itemB = std::make_shared<int>(2);
    std::vector<std::string> seen;
    int observer = 0;
    center->addObserver(&observer, "stalled", itemA.get(), [&](const Notification& n) {
        seen.push_back("A:" + n.userInfo.value("why", std::string()));
    });
    auto anyToken = center->addObserver("stalled", nullptr, [&](const Notification&) { seen.push_back("any"); });
    center->addObserver(&observer, "ended", nullptr, [&](const Notification&) { seen.push_back("ended"); });

    center->post("stalled", itemA, Json{{"why", "buffer"}});
    center->post("stalled", itemB);
    center->post("ended", itemB);
    EXPECT_EQ(seen, (std::vector<std::string>{"A:buffer", "any", "any", "ended"}));

    seen.clear();
    center->removeObserver(&observer, std::string("stalled"));
    center->post("stalled", itemA);
    center->post("ended", nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"any", "ended"}));

    seen.clear();
    anyToken.invalidate();
    center->removeObserver(&observer);
    center->post("stalled", itemA);
    center->post("ended", nullptr);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(center->observerCount(), 0u);
}

TEST(NotificationCenter, ObserverRemovedDuringAPostIsNotCalledAfterwards) {
    auto center = NotificationCenter::create();
    int second = 0;
    ObservationToken token;
    auto first = center->addObserver("n", nullptr, [&](const Notification&) { token.invalidate(); });
    token = center->addObserver("n", nullptr, [&](const Notification&) { ++second; });
    center->post("n");
    EXPECT_EQ(second, 0);
    {
        // A token outliving its centre does nothing when it goes.
        auto orphan = NotificationCenter::create();
        token = orphan->addObserver("n", nullptr, [](const Notification&) {});
    }
}

TEST(Observable, NotifiesNewAndOldOnEverySetWithoutInitialCall) {
    Observable<int> status(0);
    std::vector<std::pair<int, int>> changes;
    auto token = status.observe([&](const int& now, const int& before) { changes.emplace_back(now, before); });
    EXPECT_TRUE(changes.empty());
    status.set(1);
    status.set(1);
    status.set(2);
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}, {2, 1}}));
    token.invalidate();
    status.set(3);
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(status.get(), 3);
}

TEST(Bundle, LooksUpStringsAndFallsBackToTheKey) {
    const auto dir = std::filesystem::temp_directory_path() / ("orvane-bundle-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "images");
    {
        std::ofstream(dir / "Strings.json") << R"({"DISCOVER_PAGE_TITLE": "Découvrir", "N": 3})";
        std::ofstream(dir / "images" / "Logo.png") << "png";
        std::ofstream(dir / "FontSubstitutes.json") << "{}";
    }
    setenv("ORVANE_RESOURCES", dir.c_str(), 1);
    const auto& bundle = Bundle::module();
    EXPECT_EQ(bundle.localizedString("DISCOVER_PAGE_TITLE"), "Découvrir");
    EXPECT_EQ(bundle.localizedString("MISSING_KEY"), "MISSING_KEY");
    EXPECT_EQ(bundle.localizedString("N"), "N");
    EXPECT_EQ(bundle.localizedString("DISCOVER_PAGE_TITLE", "Other"), "DISCOVER_PAGE_TITLE");
    EXPECT_EQ(bundle.pathForImage("Logo"), dir / "images" / "Logo.png");
    EXPECT_FALSE(bundle.pathForImage("../Strings"));
    EXPECT_FALSE(bundle.pathForImage("Missing"));
    EXPECT_EQ(bundle.pathForResource("FontSubstitutes", "json"), dir / "FontSubstitutes.json");
    EXPECT_FALSE(bundle.pathForResource("FontSubstitutes", "txt"));
    EXPECT_FALSE(bundle.pathForResource("images", ""));
    EXPECT_FALSE(bundle.pathForResource("../FontSubstitutes", "json"));
    std::filesystem::remove_all(dir);
}
