// What the library and discover page tests share: a coordinator that stores
// subscription changes in the user library as the real one does (or, told
// so, refuses to), a page on a screen of a recording root container in a
// 375-point window that appears and disappears as the container shows and
// hides it, podcasts whose artwork is on a closed local port, and the demo
// podcasts with cached artwork for the snapshots. Header-only; main thread.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/demo/Brisquel.hpp"
#include "orvane/demo/Dornaway.hpp"
#include "orvane/demo/Quillary.hpp"
#include "orvane/demo/Tevolin.hpp"
#include "orvane/demo/Yandrel.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/ContentBuilders.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/RecordingFanViewController.hpp"

namespace testsupport::sidepage {

// Records every call; stores subscription changes in the user library as
// the coordinator does, unless `stores` is false.
class StoringCoordinator : public RecordingCoordinator {
public:
    static std::shared_ptr<StoringCoordinator> create() { return std::make_shared<StoringCoordinator>(); }
    void subscription(orvane::OVSubscription forType, const orvane::OVContent& andPodcast,
                      bool didChangeToValue) override {
        RecordingCoordinator::subscription(forType, andPodcast, didChangeToValue);
        if (!stores) return;
        auto& library = orvane::OVMock::UserData::shared();
        if (didChangeToValue)
            library.addSuscription(andPodcast, forType);
        else
            library.removeSuscription(andPodcast, forType);
    }
    bool stores = true;
};

inline platform::graphics::Point centreOf(const platform::ui::View& view, platform::ui::Window& window) {
    return view.convertPoint({view.bounds().midX(), view.bounds().midY()}, &window);
}

// A page on the one screen of a recording root container filling a window.
struct Shown {
    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<RecordingFanViewController> fan;
    std::shared_ptr<orvane::OVScreen> screen;

    // The container shows the screen: its top page is about to appear, then
    // appears; then a layout pass.
    void appear() {
        window->layoutIfNeeded();
        screen->beginAppearanceTransition(true, false);
        screen->endAppearanceTransition();
        window->layoutIfNeeded();
    }
    void disappear() {
        screen->beginAppearanceTransition(false, false);
        screen->endAppearanceTransition();
    }
    // Drawn, and written as "<name>.png" into $ORVANE_SNAPSHOT_DIR when set.
    std::optional<platform::graphics::Image> snapshot(const std::string& name) {
        window->layoutIfNeeded();
        auto image = window->snapshot();
        EXPECT_TRUE(image) << name;
        if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"); dir && image)
            image->writePng(std::filesystem::path(dir) / (name + ".png"));
        return image;
    }
};

inline Shown showOnScreen(const std::shared_ptr<orvane::OVPage>& page, double width = 375, double height = 667) {
    Shown shown;
    shown.window = platform::ui::Window::create({width, height});
    shown.window->setBackgroundColor(platform::graphics::Color::black());
    shown.fan = RecordingFanViewController::create();
    shown.window->setRootViewController(shown.fan);
    shown.window->layoutIfNeeded();
    shown.screen = shown.fan->hold(page);
    shown.window->layoutIfNeeded();
    return shown;
}

inline std::string localAddress(const std::string& folder, const std::string& name) {
    return "http://127.0.0.1:1/" + folder + "/" + name;
}

// Artwork on a closed local port: loads fail at once unless the image cache
// holds the file.
inline orvane::OVContent localPodcast(content::Podcast fields) {
    auto made = content::podcast(fields);
    if (made.description) made.description->image = localAddress("covers", made.identifier + ".jpg");
    for (const auto& track : made.tracks.value_or(std::vector<std::shared_ptr<orvane::OVTrack>>{})) {
        auto description = track->description().value_or(orvane::OVObjDescription{});
        description.image = localAddress("art", track->key() + ".jpg");
        track->setDescription(description);
    }
    return made;
}

// A demo podcast as a content: its description and episodes, its cover (and
// every episode's artwork) served from the image cache as "<key>.jpg".
inline orvane::OVContent demoPodcast(const std::string& key, const std::string& owner, orvane::OVObjDescription description,
                                     std::vector<std::shared_ptr<orvane::OVTrack>> tracks, int seed) {
    orvane::OVImageCache::cache(*platform::graphics::Image::fromData(testimages::png(96, 96, seed)), key + ".jpg");
    auto podcast = content::podcast({.key = key, .ownerName = owner});
    description.image = localAddress("covers", key + ".jpg");
    podcast.title = description.title;
    podcast.description = description;
    for (const auto& track : tracks) {
        auto trackDescription = track->description().value_or(orvane::OVObjDescription{});
        trackDescription.image = localAddress("covers", key + ".jpg");
        track->setDescription(trackDescription);
    }
    podcast.tracks = std::move(tracks);
    return podcast;
}

struct Demo {
    orvane::OVContent brisquel, quillary, tevolin, yandrel, dornaway;
};

inline Demo demoPodcasts() {
    const orvane::Brisquel brisquel;
    const orvane::OVMock::Data::Quillary quillary;
    const orvane::Tevolin tevolin;
    const orvane::Yandrel yandrel;
    const orvane::Dornaway dornaway;
    return {
        demoPodcast("brisquel", "Studio Brisquel", brisquel.description, {brisquel.track1, brisquel.track2}, 11),
        demoPodcast("quillary", "Quillary", quillary.description, {quillary.track1, quillary.track2}, 23),
        demoPodcast("tevolin", "Tevolin", tevolin.description, {tevolin.track1, tevolin.track2}, 37),
        demoPodcast("yandrel", yandrel.editor, yandrel.description, {yandrel.track1, yandrel.track2}, 41),
        demoPodcast("dornaway", dornaway.editor, dornaway.description,
                    {dornaway.track1, dornaway.track2, dornaway.track3}, 53),
    };
}

// The listener's library of the snapshots, latest action first: two
// subscriptions (the first with notifications on) and one podcast with
// saved episodes only. Fills the shared library.
inline std::vector<content::LibraryEntry> demoLibrary() {
    const auto demo = demoPodcasts();
    const std::vector<content::LibraryEntry> entries{
        {.podcast = demo.brisquel, .subscribed = true, .notification = true, .lastAction = content::daysAgo(0.1)},
        {.podcast = demo.quillary, .subscribed = true, .lastAction = content::daysAgo(0.5)},
        {.podcast = demo.yandrel,
         .savedEpisodes = {(*demo.yandrel.tracks)[0], (*demo.yandrel.tracks)[1]},
         .lastAction = content::daysAgo(2)},
    };
    content::fillLibrary(entries);
    return entries;
}

}  // namespace testsupport::sidepage
