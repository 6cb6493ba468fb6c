#include "orvane/demo/Brisquel.hpp"
#include "orvane/demo/Dornaway.hpp"
#include "orvane/demo/Halvick.hpp"
#include "orvane/demo/Meltrose.hpp"
#include "orvane/demo/MockModels.hpp"
#include "orvane/demo/Quillary.hpp"
#include "orvane/demo/Quorrel.hpp"
#include "orvane/demo/Sarnith.hpp"
#include "orvane/demo/Tevolin.hpp"
#include "orvane/demo/TestMode.hpp"
#include "orvane/demo/Ulbrack.hpp"
#include "orvane/demo/Yandrel.hpp"
#include "orvane/model/StringExtensions.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <unordered_set>

using namespace orvane;

namespace {

struct Row {
    const char* fixture;
    std::shared_ptr<OVTrack> track;
    const char* identifier;
    const char* day;
    double duration;
    const char* extension;
    bool artwork;
    bool breaks;
};

class DemoContent : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        setenv("TZ", "Europe/Paris", 1);
        tzset();
    }
    void TearDown() override {
        if (saved_) setenv("TZ", saved_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    std::optional<std::string> saved_;
};

// Local midnight in Paris (summer time, UTC+2, for every date of the tables but none).
double parisMidnight(int year, int month, int day) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    return static_cast<double>(std::mktime(&tm));
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

TEST_F(DemoContent, TrackTablesHold) {
    Brisquel brisquel;
    Dornaway dornaway;
    Halvick halvick;
    Meltrose meltrose;
    Quorrel quorrel;
    Tevolin tevolin;
    Sarnith sarnith;
    OVMock::Data::Quillary quillary;
    Ulbrack ulbrack;
    Yandrel yandrel;
    const std::vector<Row> rows = {
        {"Brisquel", brisquel.track1, "8", "2019-06-10", 763, ".mp4", true, true},
        {"Brisquel", brisquel.track2, "9", "2019-06-17", 586, ".mp4", true, true},
        {"Dornaway", dornaway.track1, "1", "2019-04-29", 1671, ".mp3", true, false},
        {"Dornaway", dornaway.track2, "2", "2019-04-26", 1266, ".mp3", true, false},
        {"Dornaway", dornaway.track3, "3", "2019-04-25", 1266, ".mp3", true, false},
        {"Dornaway", dornaway.track4, "4", "2019-04-24", 1280, ".mp3", true, false},
        {"Dornaway", dornaway.track5, "5", "2019-04-23", 1313, ".mp3", true, false},
        {"Dornaway", dornaway.track6, "6", "2019-04-22", 1313, ".mp3", true, false},
        {"Dornaway", dornaway.track7, "7", "2019-04-18", 1313, ".mp3", true, false},
        {"Halvick", halvick.track1, "3", "2019-05-04", 2421, ".mp4", true, false},
        {"Halvick", halvick.track2, "4", "2019-08-01", 451, ".mp4", true, false},
        {"Meltrose", meltrose.track1, "18", "2019-09-09", 243, ".mp3", true, false},
        {"Quorrel", quorrel.track1, "8", "2019-08-21", 1962, ".mp3", true, false},
        {"Quorrel", quorrel.track2, "9", "2019-07-13", 1000, ".mp3", true, false},
        {"Quorrel", quorrel.track3, "10", "2019-06-30", 1328, ".mp3", true, false},
        {"Quorrel", quorrel.track4, "11", "2019-06-18", 1436, ".mp3", true, false},
        {"Quorrel", quorrel.track5, "12", "2019-06-09", 1313, ".mp3", true, false},
        {"Quorrel", quorrel.track6, "13", "2019-05-30", 1313, ".mp3", true, false},
        {"Quorrel", quorrel.track7, "14", "2019-05-21", 989, ".mp3", true, false},
        {"Quorrel", quorrel.track8, "15", "2019-05-12", 867, ".mp3", true, false},
        {"Quorrel", quorrel.track9, "16", "2019-05-04", 1033, ".mp3", true, false},
        {"Quorrel", quorrel.track10, "17", "2019-04-25", 1985, ".mp3", true, false},
        {"Tevolin", tevolin.track1, "10", "2019-06-01", 1048, ".mp3", false, false},
        {"Tevolin", tevolin.track2, "11", "2019-06-15", 451, ".mp3", false, false},
        {"Sarnith", sarnith.track1, "12", "2019-08-05", 1973, ".mp4", true, false},
        {"Sarnith", sarnith.track2, "13", "2019-08-05", 1908, ".mp4", true, false},
        {"Quillary", quillary.track1, "1", "2019-07-15", 368, ".mp4", true, false},
        {"Quillary", quillary.track2, "2", "2019-08-01", 451, ".mp4", true, false},
        {"Ulbrack", ulbrack.track1, "5", "2019-07-01", 1237, ".mp4", true, true},
        {"Ulbrack", ulbrack.track2, "6", "2019-07-07", 1562, ".mp4", true, true},
        {"Ulbrack", ulbrack.track3, "7", "2019-07-14", 2122, ".mp4", true, true},
        {"Yandrel", yandrel.track1, "19", "2019-08-02", 1487, ".mp3", true, false},
        {"Yandrel", yandrel.track2, "20", "2019-07-12", 1307, ".mp3", true, false},
    };
    ASSERT_EQ(rows.size(), 33u);
    int plainHttp = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.fixture) + " " + row.identifier);
        const auto& track = row.track;
        ASSERT_TRUE(track);
        EXPECT_EQ(track->key(), row.identifier);
        EXPECT_EQ(track->number(), std::nullopt);
        EXPECT_FALSE(track->isDefault());
        EXPECT_FALSE(track->title().empty());
        int y, m, d;
        ASSERT_EQ(std::sscanf(row.day, "%d-%d-%d", &y, &m, &d), 3);
        ASSERT_TRUE(track->publicationDate());
        EXPECT_EQ(track->publicationDate()->timeIntervalSince1970, parisMidnight(y, m, d));
        EXPECT_EQ(track->audio().duration, row.duration);
        ASSERT_TRUE(track->audio().audio);
        EXPECT_TRUE(endsWith(*track->audio().audio, row.extension));
        EXPECT_EQ(track->audio().audio->rfind("https://", 0), 0u);
        ASSERT_TRUE(url(*track->audio().audio));
        ASSERT_TRUE(track->description());
        EXPECT_TRUE(track->description()->title && track->description()->text);
        EXPECT_EQ(track->description()->image.has_value(), row.artwork);
        if (track->description()->image) {
            EXPECT_TRUE(url(*track->description()->image));
            if (track->description()->image->rfind("http://", 0) == 0) ++plainHttp;
        }
        EXPECT_EQ(track->description()->text->find("<br/>") != std::string::npos, row.breaks);
    }
    EXPECT_EQ(plainHttp, 1);
    // 2019-06-10 00:00 in Paris (UTC+2) is 2019-06-09T22:00:00Z.
    EXPECT_EQ(brisquel.track1->publicationDate()->timeIntervalSince1970, 1560117600.0);
    EXPECT_EQ(halvick.track1->description()->image->rfind("http://", 0), 0u);
}

TEST_F(DemoContent, SharedAddressesEditorsAndCovers) {
    Brisquel brisquel;
    Dornaway dornaway;
    Meltrose meltrose;
    Quorrel quorrel;
    Tevolin tevolin;
    Sarnith sarnith;
    Yandrel yandrel;
    EXPECT_EQ(dornaway.track2->audio().audio, dornaway.track3->audio().audio);
    EXPECT_EQ(dornaway.track5->audio().audio, dornaway.track6->audio().audio);
    EXPECT_EQ(dornaway.track5->audio().audio, dornaway.track7->audio().audio);
    EXPECT_EQ(dornaway.track5->audio().audio, quorrel.track5->audio().audio);
    EXPECT_EQ(meltrose.track1->audio().audio, yandrel.track1->audio().audio);
    EXPECT_NE(meltrose.track1->audio().duration, yandrel.track1->audio().duration);
    EXPECT_NE(dornaway.track1->audio().audio, dornaway.track2->audio().audio);

    EXPECT_FALSE(dornaway.editor.empty());
    EXPECT_FALSE(meltrose.editor.empty());
    EXPECT_FALSE(quorrel.editor.empty());
    EXPECT_FALSE(sarnith.editor.empty());
    EXPECT_FALSE(yandrel.editor.empty());

    for (const auto& track : {dornaway.track1, dornaway.track7, quorrel.track10, meltrose.track1, yandrel.track2}) {
        EXPECT_TRUE(track->description()->image == dornaway.description.image ||
                    track->description()->image == quorrel.description.image ||
                    track->description()->image == meltrose.description.image ||
                    track->description()->image == yandrel.description.image);
    }
    EXPECT_EQ(dornaway.track4->description()->image, dornaway.description.image);
    EXPECT_EQ(brisquel.track1->description()->image, brisquel.description.image);
    EXPECT_EQ(brisquel.track2->description()->image, sarnith.track2->description()->image);
    EXPECT_TRUE(tevolin.description.image.has_value());
    EXPECT_NE(sarnith.description.text->find("<br/>"), std::string::npos);
    for (const auto* description : {&brisquel.description, &tevolin.description, &sarnith.description}) {
        ASSERT_TRUE(description->title && description->text && description->image);
        const auto& image = *description->image;
        EXPECT_TRUE(endsWith(image, ".jpg") || endsWith(image, ".jpeg") || endsWith(image, ".png")) << image;
    }
}

TEST_F(DemoContent, IdentifiersRepeatAcrossFixturesAndConstructionsAreIndependent) {
    Brisquel brisquel;
    Quorrel quorrel;
    EXPECT_EQ(*brisquel.track1, *quorrel.track1);
    std::unordered_set<std::shared_ptr<OVTrack>, OVTrackKeyHash, OVTrackKeyEqual> set{
        brisquel.track1, brisquel.track2, quorrel.track1, quorrel.track2, quorrel.track3};
    EXPECT_EQ(set.size(), 3u);

    Brisquel again;
    EXPECT_NE(again.track1.get(), brisquel.track1.get());
    brisquel.track1->setDownloadStatus(OVTrack::InProgress{0.5f});
    EXPECT_TRUE(std::holds_alternative<OVTrack::NotDownloaded>(again.track1->downloadStatus()));

    Sarnith sarnith;  // equal dates: a tie when ordered
    EXPECT_EQ(sarnith.track1->publicationDate(), sarnith.track2->publicationDate());
    EXPECT_TRUE(OVTrack::sorted(std::vector{sarnith.track1, sarnith.track2}).has_value());
}

TEST(SampleAds, TwoSkippableAdsWithTheSameKey) {
    const auto& ad0 = MockModels::ad0();
    const auto& ad1 = MockModels::ad1();
    ASSERT_TRUE(ad0 && ad1);
    EXPECT_EQ(&MockModels::ad0(), &ad0);  // built once
    EXPECT_EQ(ad0->key(), "2");
    EXPECT_EQ(ad1->key(), "2");
    for (const auto& ad : {ad0, ad1}) {
        EXPECT_TRUE(ad->isSkippable());
        EXPECT_EQ(ad->skipDuration(), 10);
        EXPECT_FALSE(ad->adCanBeSkipped(10.0));
        EXPECT_TRUE(ad->adCanBeSkipped(10.001));
        EXPECT_EQ(ad->ctas(), std::nullopt);
        EXPECT_EQ(ad->audio().duration, 662.0);
        EXPECT_TRUE(endsWith(*ad->audio().audio, ".mp3"));
        EXPECT_TRUE(ad->advertiser());
    }
    EXPECT_EQ(ad0->audio().audio, ad1->audio().audio);
    EXPECT_EQ(ad0->waitingMessage(), "Publicité, votre contenu dans quelques secondes");
    EXPECT_EQ(ad1->waitingMessage(), "Publicité, offerte par " + *ad1->advertiser());
    EXPECT_EQ(ad0->description()->text, "Texte ad");
    EXPECT_EQ(ad0->description()->title->rfind("<b>", 0), 0u);
    EXPECT_TRUE(endsWith(*ad0->description()->image, ".jpeg"));
    EXPECT_EQ(ad1->description()->title, "MonTitleAdInObjDescription");
    EXPECT_EQ(ad1->description()->text, "Mon text ad");
    EXPECT_EQ(ad1->description()->image, std::nullopt);
}

TEST(SampleAds, TestModeStartsAsTestZero) {
    auto initial = TestMode::shared();
    ASSERT_TRUE(std::holds_alternative<TestMode::Test>(initial.mode));
    EXPECT_EQ(std::get<TestMode::Test>(initial.mode).value, 0);
    TestMode::setShared(TestMode{TestMode::Demo{}});
    EXPECT_TRUE(std::holds_alternative<TestMode::Demo>(TestMode::shared().mode));
    TestMode::modifyShared([](TestMode& mode) { mode.mode = TestMode::Test{7}; });
    EXPECT_EQ(std::get<TestMode::Test>(TestMode::shared().mode).value, 7);
}
