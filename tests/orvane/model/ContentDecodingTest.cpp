#include "orvane/model/DateExtensions.hpp"
#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVAd.hpp"
#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVOwner.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "support/FixtureFiles.hpp"

#include <gtest/gtest.h>

#include <unordered_map>
#include <unordered_set>

using namespace orvane;
using platform::core::Date;
using platform::core::Json;

namespace {

std::vector<OVContent> fixtureContents() {
    auto decoded = decodeValue<std::map<std::string, std::vector<OVContent>>>(
        Json{{"list", test::fixtureJson("contents.json")}});
    EXPECT_TRUE(decoded.has_value());
    return decoded ? decoded->at("list") : std::vector<OVContent>{};
}

Date iso(const char* text) { return *platform::core::parseISO8601Full(text); }

}  // namespace

TEST(ContentDecoding, FixtureDecodesToTheExpectedRecords) {
    auto contents = fixtureContents();
    ASSERT_EQ(contents.size(), 4u);

    const OVContent& river = contents[0];
    EXPECT_EQ(river.identifier, "c-100");
    EXPECT_EQ(river.title, "Les Voix du Fleuve");
    ASSERT_TRUE(river.description);
    EXPECT_EQ(river.description->image, "https://media.example.com/covers/voix-du-fleuve.jpg");
    EXPECT_EQ(river.type, OVContentType::podcast);
    ASSERT_TRUE(river.ctas);
    ASSERT_EQ(river.ctas->size(), 2u);
    EXPECT_EQ((*river.ctas)[0].type, OVCtaType::seemore);
    EXPECT_EQ((*river.ctas)[0].text, "Voir plus");
    EXPECT_EQ((*river.ctas)[0].applePodcast, std::nullopt);
    EXPECT_EQ((*river.ctas)[1].type, OVCtaType::podcastplatform);
    EXPECT_EQ((*river.ctas)[1].applePodcast, "https://podcasts.example.com/voix");
    EXPECT_EQ((*river.ctas)[1].googlePodcast, "https://listen.example.org/voix");
    EXPECT_EQ((*river.ctas)[1].destination, std::nullopt);
    EXPECT_EQ(river.ownerEmail, "redaction@example.com");
    EXPECT_EQ(river.ownerName, "Rédaction Fleuve");
    EXPECT_EQ(river.author, "Camille Martin");
    EXPECT_EQ(river.color, "#1A2B3C");
    EXPECT_EQ(river.isSponsored, false);
    EXPECT_EQ(river.trackMode, OVTrackMode::vertical);
    EXPECT_EQ(river.listType(), OVListType::episode);
    EXPECT_EQ(river.poweredByLabel, "Propulsé par Orvane");
    EXPECT_EQ(river.advertiser, std::nullopt);
    ASSERT_TRUE(river.tracks);
    ASSERT_EQ(river.tracks->size(), 3u);

    const auto& t103 = (*river.tracks)[0];
    EXPECT_EQ(t103->key(), "t-103");
    EXPECT_EQ(t103->title(), "Épisode 3 : la crue");
    EXPECT_EQ(t103->number(), 3);
    EXPECT_EQ(t103->publicationDate(), Date{1709280000.0});
    EXPECT_FALSE(t103->isDefault());
    EXPECT_EQ(t103->audio().audio, "https://media.example.com/audio/voix-103.mp3");
    EXPECT_EQ(t103->audio().duration, 1843.5);
    ASSERT_TRUE(t103->description());
    EXPECT_EQ(t103->description()->title, "La crue");

    const auto& t101 = (*river.tracks)[1];
    EXPECT_EQ(t101->description(), std::nullopt);  // "description": null
    // 09:30:00.250 at +02:00 is 07:30:00.250 GMT.
    ASSERT_TRUE(t101->publicationDate());
    EXPECT_DOUBLE_EQ(t101->publicationDate()->timeIntervalSince1970, 1705303800.25);
    EXPECT_EQ((*river.tracks)[2]->audio().duration, std::nullopt);

    // No default episode: the earliest date stands for the content.
    EXPECT_EQ(river.selectedTrack()->key(), "t-101");
    EXPECT_EQ(river.track("t-102"), (*river.tracks)[2]);

    const OVContent& brand = contents[1];
    EXPECT_EQ(brand.type, OVContentType::brand);
    EXPECT_EQ(brand.isSponsored, true);
    EXPECT_EQ(brand.advertiser, "Acme Example");
    EXPECT_EQ(brand.trackMode, OVTrackMode::horizontal);
    EXPECT_EQ(brand.listType(), OVListType::chapitre);
    const auto& t201 = (*brand.tracks)[0];
    EXPECT_EQ(t201->number(), std::nullopt);
    EXPECT_EQ(t201->publicationDate(), std::nullopt);
    const auto& t202 = (*brand.tracks)[1];
    EXPECT_TRUE(t202->isDefault());
    EXPECT_EQ(t202->audio().audio, std::nullopt);
    EXPECT_EQ(t202->audio().duration, std::nullopt);
    // The flagged episode wins although dates are missing.
    EXPECT_EQ(brand.selectedTrack(), t202);

    const OVContent& bare = contents[2];
    EXPECT_EQ(bare.title, std::nullopt);
    ASSERT_TRUE(bare.tracks);
    EXPECT_TRUE(bare.tracks->empty());
    EXPECT_EQ(bare.selectedTrack(), nullptr);
    EXPECT_EQ(bare.listType(), std::nullopt);

    const OVContent& book = contents[3];
    EXPECT_EQ(book.type, OVContentType::book);
    EXPECT_EQ(book.listType(), std::nullopt);  // "épisodes": letter case differs
    EXPECT_EQ(book.selectedTrack(), nullptr);  // one of two episodes has no date
}

TEST(ContentDecoding, AdsFixtureDecodes) {
    auto json = test::fixtureJson("ads.json");
    auto first = OVAd::decode(json[0]);
    EXPECT_EQ(first->key(), "ad-1");
    EXPECT_EQ(first->waitingMessage(), "Publicité, votre contenu dans quelques secondes");
    EXPECT_TRUE(first->isSkippable());
    EXPECT_EQ(first->skipDuration(), 5);
    EXPECT_EQ(first->advertiser(), "Acme Example");
    ASSERT_TRUE(first->ctas());
    EXPECT_EQ(first->ctas()->at(0).type, OVCtaType::link);
    EXPECT_EQ(first->audio().duration, 30.0);
    EXPECT_EQ(first->description()->image, "https://ads.example.com/img/ad-1.jpeg");

    auto second = OVAd::decode(json[1]);
    EXPECT_EQ(second->skipDuration(), std::nullopt);
    EXPECT_EQ(second->advertiser(), std::nullopt);
    EXPECT_EQ(second->ctas(), std::nullopt);
    EXPECT_EQ(second->audio().audio, std::nullopt);

    // Without the three nullable keys the ad fails; "id" does not stand for "key".
    for (const char* removed : {"skipDuration", "advertiser", "cta", "key"}) {
        Json broken = json[1];
        broken.erase(removed);
        if (std::string(removed) == "key") broken["id"] = "ad-2";
        EXPECT_THROW(OVAd::decode(broken), DecodingError) << removed;
    }
}

TEST(ContentDecoding, AdSkipRulesAndImageFallback) {
    auto make = [](bool skippable, std::optional<std::int64_t> skip, std::optional<std::string> image) {
        return OVAd::create("ad", OVAudio{}, OVObjDescription{"t", "x", std::move(image)}, std::nullopt, "wait",
                            skippable, skip, std::nullopt);
    };
    EXPECT_FALSE(make(false, std::nullopt, {})->adCanBeSkipped(1e9));
    EXPECT_TRUE(make(true, std::nullopt, {})->adCanBeSkipped(0));
    auto ten = make(true, 10, {});
    EXPECT_FALSE(ten->adCanBeSkipped(10.0));
    EXPECT_TRUE(ten->adCanBeSkipped(10.01));

    auto track = OVTrack::create("1", "ep", std::nullopt, OVAudio{}, OVObjDescription{"t", "x", "https://a.example/i.jpg"},
                                 std::nullopt);
    auto withoutImage = make(true, 10, std::nullopt);
    withoutImage->useImage(*track);
    EXPECT_EQ(withoutImage->description()->image, "https://a.example/i.jpg");
    auto withImage = make(true, 10, "https://own.example/i.jpg");
    withImage->useImage(*track);
    EXPECT_EQ(withImage->description()->image, "https://own.example/i.jpg");
    withoutImage->setDescription(std::nullopt);
    withoutImage->useImage(*track);
    EXPECT_EQ(withoutImage->description(), std::nullopt);
}

TEST(ContentDecoding, OwnerReadsItsNameFromOwnerMail) {
    auto owner = OVOwner::decode(Json{{"ownerMail", "Rédaction"}, {"ownerEmail", "r@example.com"}});
    EXPECT_EQ(owner.name, "Rédaction");
    EXPECT_EQ(owner.email, "r@example.com");
    EXPECT_THROW(OVOwner::decode(Json{{"ownerName", "R"}, {"ownerEmail", "r@example.com"}}), DecodingError);
}

// ---- Strictness: which single changes fail, and how ----

namespace {

Json validTrack() {
    return Json{{"key", "t1"},
                {"title", "Titre"},
                {"episode", 1},
                {"publicationDate", "2024-05-01T12:00:00.000Z"},
                {"selected", false},
                {"audio", {{"audioSrc", "https://media.example.com/a.mp3"}, {"trackDuration", 10}}},
                {"description", {{"title", "d"}}}};
}

Json validContent() {
    return Json{{"key", "c1"},
                {"title", "Titre"},
                {"type", "podcast"},
                {"trackListMode", "vertical"},
                {"ctaList", Json::array({{{"type", "link"}}})},
                {"tracks", Json::array({validTrack()})}};
}

struct StrictCase {
    const char* name;
    std::function<void(Json&)> change;
    std::optional<DecodingError::Kind> failure;  // none: decodes
    const char* path = "";
};

}  // namespace

TEST(ContentDecoding, StrictnessTable) {
    using K = DecodingError::Kind;
    const std::vector<StrictCase> cases = {
        {"content key missing", [](Json& c) { c.erase("key"); }, K::keyNotFound, "key"},
        {"content key null", [](Json& c) { c["key"] = nullptr; }, K::valueNotFound, "key"},
        {"content key number", [](Json& c) { c["key"] = 7; }, K::typeMismatch, "key"},
        {"title null", [](Json& c) { c["title"] = nullptr; }, std::nullopt},
        {"title number", [](Json& c) { c["title"] = 3; }, K::typeMismatch, "title"},
        {"type capitalised", [](Json& c) { c["type"] = "Podcast"; }, K::dataCorrupted, "type"},
        {"type missing", [](Json& c) { c.erase("type"); }, std::nullopt},
        {"trackListMode unknown", [](Json& c) { c["trackListMode"] = "grid"; }, K::dataCorrupted, "trackListMode"},
        {"sponsored as text", [](Json& c) { c["displaySponsoredContentLabel"] = "true"; }, K::typeMismatch,
         "displaySponsoredContentLabel"},
        {"sponsored as number", [](Json& c) { c["displaySponsoredContentLabel"] = 1; }, K::typeMismatch,
         "displaySponsoredContentLabel"},
        {"tracks as object", [](Json& c) { c["tracks"] = Json::object(); }, K::typeMismatch, "tracks"},
        {"tracks null", [](Json& c) { c["tracks"] = nullptr; }, std::nullopt},
        {"cta without type", [](Json& c) { c["ctaList"][0].erase("type"); }, K::keyNotFound, "ctaList.Index 0.type"},
        {"cta unknown type", [](Json& c) { c["ctaList"][0]["type"] = "share"; }, K::dataCorrupted,
         "ctaList.Index 0.type"},
        {"cta platform key in full", [](Json& c) { c["ctaList"][0]["applePodcastUrl"] = "https://x.example"; },
         std::nullopt},
        {"cta label number", [](Json& c) { c["ctaList"][0]["label"] = 1; }, K::typeMismatch, "ctaList.Index 0.label"},
        {"episode key missing", [](Json& c) { c["tracks"][0].erase("episode"); }, K::keyNotFound,
         "tracks.Index 0.episode"},
        {"episode null", [](Json& c) { c["tracks"][0]["episode"] = nullptr; }, std::nullopt},
        {"episode fractional", [](Json& c) { c["tracks"][0]["episode"] = 1.5; }, K::dataCorrupted,
         "tracks.Index 0.episode"},
        {"episode whole float", [](Json& c) { c["tracks"][0]["episode"] = 2.0; }, std::nullopt},
        {"episode as text", [](Json& c) { c["tracks"][0]["episode"] = "2"; }, K::typeMismatch,
         "tracks.Index 0.episode"},
        {"date key missing", [](Json& c) { c["tracks"][0].erase("publicationDate"); }, K::keyNotFound,
         "tracks.Index 0.publicationDate"},
        {"date null", [](Json& c) { c["tracks"][0]["publicationDate"] = nullptr; }, std::nullopt},
        {"date day only", [](Json& c) { c["tracks"][0]["publicationDate"] = "2024-05-01"; }, K::dataCorrupted,
         "tracks.Index 0.publicationDate"},
        {"date without fraction", [](Json& c) { c["tracks"][0]["publicationDate"] = "2024-05-01T12:00:00Z"; },
         K::dataCorrupted, "tracks.Index 0.publicationDate"},
        {"date without zone", [](Json& c) { c["tracks"][0]["publicationDate"] = "2024-05-01T12:00:00.000"; },
         K::dataCorrupted, "tracks.Index 0.publicationDate"},
        {"date as number", [](Json& c) { c["tracks"][0]["publicationDate"] = 1714564800; }, K::typeMismatch,
         "tracks.Index 0.publicationDate"},
        {"selected missing", [](Json& c) { c["tracks"][0].erase("selected"); }, K::keyNotFound,
         "tracks.Index 0.selected"},
        {"selected null", [](Json& c) { c["tracks"][0]["selected"] = nullptr; }, K::valueNotFound,
         "tracks.Index 0.selected"},
        {"selected number", [](Json& c) { c["tracks"][0]["selected"] = 0; }, K::typeMismatch,
         "tracks.Index 0.selected"},
        {"track title null", [](Json& c) { c["tracks"][0]["title"] = nullptr; }, K::valueNotFound,
         "tracks.Index 0.title"},
        {"audio missing", [](Json& c) { c["tracks"][0].erase("audio"); }, K::keyNotFound, "tracks.Index 0.audio"},
        {"audio as text", [](Json& c) { c["tracks"][0]["audio"] = "https://x.example/a.mp3"; }, K::typeMismatch,
         "tracks.Index 0.audio"},
        {"audio empty object", [](Json& c) { c["tracks"][0]["audio"] = Json::object(); }, std::nullopt},
        {"duration as text", [](Json& c) { c["tracks"][0]["audio"]["trackDuration"] = "10"; }, K::typeMismatch,
         "tracks.Index 0.audio.trackDuration"},
        {"duration null", [](Json& c) { c["tracks"][0]["audio"]["trackDuration"] = nullptr; }, std::nullopt},
        {"description null", [](Json& c) { c["tracks"][0]["description"] = nullptr; }, std::nullopt},
        {"description with image key", [](Json& c) { c["tracks"][0]["description"] = {{"image", "x"}}; },
         std::nullopt},
        {"description title number", [](Json& c) { c["tracks"][0]["description"]["title"] = 5; }, K::typeMismatch,
         "tracks.Index 0.description.title"},
        {"second episode broken", [](Json& c) {
             Json second = validTrack();
             second.erase("key");
             c["tracks"].push_back(second);
         },
         K::keyNotFound, "tracks.Index 1.key"},
    };
    for (const auto& item : cases) {
        Json json = validContent();
        item.change(json);
        if (!item.failure) {
            EXPECT_NO_THROW(OVContent::decode(json)) << item.name;
            continue;
        }
        try {
            OVContent::decode(json);
            ADD_FAILURE() << item.name << ": decoded";
        } catch (const DecodingError& error) {
            EXPECT_EQ(error.kind(), *item.failure) << item.name << ": " << error.fullDescription();
            EXPECT_EQ(error.codingPathString(), item.path) << item.name;
        }
    }
}

TEST(ContentDecoding, PresentButNullOptionalsGiveNone) {
    Json json = validContent();
    for (const char* key : {"title", "description", "type", "ctaList", "ownerEmail", "ownerName", "author",
                            "mainColor", "displaySponsoredContentLabel", "trackListMode", "trackListLabel",
                            "poweredByLabel", "tracks", "advertiser"}) {
        json[key] = nullptr;
    }
    OVContent content = OVContent::decode(json);
    EXPECT_EQ(content.identifier, "c1");
    EXPECT_FALSE(content.title || content.description || content.type || content.ctas || content.ownerEmail ||
                 content.ownerName || content.author || content.color || content.isSponsored || content.trackMode ||
                 content.listHeaderLabel || content.poweredByLabel || content.tracks || content.advertiser);
    EXPECT_EQ(content.selectedTrack(), nullptr);
    EXPECT_EQ(content.track("t1"), nullptr);
}

TEST(ContentDecoding, DatesWithZAndOffsetAgree) {
    Json a = validTrack();
    Json b = validTrack();
    a["publicationDate"] = "2024-05-01T10:00:00.000Z";
    b["publicationDate"] = "2024-05-01T12:00:00.000+02:00";
    auto first = OVTrack::decode(a);
    auto second = OVTrack::decode(b);
    EXPECT_EQ(first->publicationDate(), second->publicationDate());
    EXPECT_EQ(iso8601Full().string(*first->publicationDate()), "2024-05-01T10:00:00.000Z");
}

// ---- Sorting and selection ----

namespace {
std::shared_ptr<OVTrack> dated(const std::string& key, std::optional<const char*> date, bool isDefault = false) {
    std::optional<Date> when;
    if (date) when = iso(*date);
    return OVTrack::create(key, key, std::nullopt, OVAudio{}, OVObjDescription{}, when, isDefault);
}
std::vector<std::string> keys(const std::vector<std::shared_ptr<OVTrack>>& tracks) {
    std::vector<std::string> out;
    for (const auto& t : tracks) out.push_back(t->key());
    return out;
}
}  // namespace

TEST(EpisodeSorting, SortRules) {
    EXPECT_EQ(OVTrack::sorted(std::nullopt), std::nullopt);
    auto empty = OVTrack::sorted(std::vector<std::shared_ptr<OVTrack>>{});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    auto undated = dated("u", std::nullopt);
    auto single = OVTrack::sorted(std::vector{undated});
    ASSERT_TRUE(single);
    EXPECT_EQ(keys(*single), std::vector<std::string>{"u"});

    auto a = dated("a", "2024-03-01T00:00:00.000Z");
    auto b = dated("b", "2024-01-01T00:00:00.000Z");
    auto c = dated("c", "2024-02-01T00:00:00.000+01:00");
    auto three = OVTrack::sorted(std::vector{a, b, c});
    ASSERT_TRUE(three);
    EXPECT_EQ(keys(*three), (std::vector<std::string>{"b", "c", "a"}));

    // One missing date anywhere in the list gives none, wherever it stands.
    EXPECT_EQ(OVTrack::sorted(std::vector{a, b, undated}), std::nullopt);
    EXPECT_EQ(OVTrack::sorted(std::vector{undated, a}), std::nullopt);
}

TEST(EpisodeSorting, SelectedTrackRules) {
    OVContent content;
    content.identifier = "c";
    EXPECT_EQ(content.selectedTrack(), nullptr);

    auto late = dated("late", "2024-03-01T00:00:00.000Z", true);
    auto early = dated("early", "2024-01-01T00:00:00.000Z");
    auto alsoDefault = dated("also", "2023-01-01T00:00:00.000Z", true);
    content.tracks = std::vector{early, late, alsoDefault};
    EXPECT_EQ(content.selectedTrack(), late);  // first flagged, whatever the dates

    late->setIsDefault(false);
    alsoDefault->setIsDefault(false);
    EXPECT_EQ(content.selectedTrack(), alsoDefault);  // earliest date

    content.tracks = std::vector{dated("only", std::nullopt)};
    EXPECT_EQ(content.selectedTrack()->key(), "only");
    content.tracks = std::vector{early, dated("nodate", std::nullopt)};
    EXPECT_EQ(content.selectedTrack(), nullptr);
}

TEST(EpisodeSorting, TrackWithKeyIsExactAndFirst) {
    OVContent content;
    content.identifier = "c";
    auto first = dated("dup", std::nullopt);
    auto second = dated("dup", std::nullopt);
    content.tracks = std::vector{first, second, dated("Other", std::nullopt)};
    EXPECT_EQ(content.track("dup"), first);
    EXPECT_EQ(content.track("DUP"), nullptr);
    EXPECT_EQ(content.track("other"), nullptr);
}

// ---- Identity ----

TEST(RecordIdentity, ContentsEpisodesAndPairsCompareByKey) {
    OVContent a = OVContent::decode(Json{{"key", "same"}, {"title", "One"}});
    OVContent b = OVContent::decode(Json{{"key", "same"}, {"title", "Two"}, {"tracks", Json::array()}});
    OVContent c = OVContent::decode(Json{{"key", "other"}, {"title", "One"}});
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(std::hash<OVContent>{}(a), std::hash<OVContent>{}(b));
    std::unordered_map<OVContent, int> byContent;
    byContent[a] = 1;
    byContent[b] = 2;
    byContent[c] = 3;
    EXPECT_EQ(byContent.size(), 2u);
    EXPECT_EQ(byContent.begin()->first.identifier == "same" ? byContent.begin()->first.title
                                                             : std::next(byContent.begin())->first.title,
              "One");  // the first key value stays

    Json track = validTrack();
    auto t1 = OVTrack::decode(track);
    track["title"] = "Autre titre";
    auto t2 = OVTrack::decode(track);
    track["key"] = "T1";
    auto t3 = OVTrack::decode(track);
    EXPECT_EQ(*t1, *t2);
    EXPECT_NE(*t1, *t3);
    EXPECT_EQ(std::hash<OVTrack>{}(*t1), std::hash<OVTrack>{}(*t2));
    std::unordered_set<std::shared_ptr<OVTrack>, OVTrackKeyHash, OVTrackKeyEqual> set{t1, t2, t3};
    EXPECT_EQ(set.size(), 2u);

    EXPECT_EQ(OVTrackInPodcast(t1, a), OVTrackInPodcast(t2, b));
    EXPECT_FALSE(OVTrackInPodcast(t1, a) == OVTrackInPodcast(t1, c));
    EXPECT_FALSE(OVTrackInPodcast(t1, a) == OVTrackInPodcast(t3, a));
}

TEST(RecordIdentity, CopiedContentsShareTheirEpisodes) {
    OVContent original = OVContent::decode(validContent());
    OVContent copy = original;
    (*copy.tracks)[0]->setDownloadStatus(OVTrack::InProgress{0.5f});
    ASSERT_TRUE(std::holds_alternative<OVTrack::InProgress>((*original.tracks)[0]->downloadStatus()));
    EXPECT_EQ((*original.tracks)[0].get(), (*copy.tracks)[0].get());
}
