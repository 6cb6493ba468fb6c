#include "orvane/model/OVTrack.hpp"

#include "orvane/model/Decoding.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/RunLoop.hpp"

#include <algorithm>

namespace orvane {

OVTrack::OVTrack(Token token, MediaPart media, EpisodeFields fields)
    : OVMedia(token, std::move(media)),
      title_(std::move(fields.title)),
      number_(fields.number),
      publicationDate_(fields.publicationDate),
      isDefault_(fields.isDefault) {}

std::shared_ptr<OVTrack> OVTrack::create(std::string identifier, std::string title,
                                         std::optional<std::int64_t> number, OVAudio audio,
                                         OVObjDescription description,
                                         std::optional<platform::core::Date> publicationDate, bool isDefault) {
    auto track = std::make_shared<OVTrack>(
        Token{}, MediaPart{std::move(identifier), std::move(audio), std::move(description)},
        EpisodeFields{std::move(title), number, publicationDate, isDefault});
    track->initializeDownloadStatus();
    return track;
}

std::shared_ptr<OVTrack> OVTrack::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    EpisodeFields fields;
    fields.title = decoding::required<std::string>(object, "title");
    fields.number = decoding::requiredNullable<std::int64_t>(object, "episode");
    fields.publicationDate = decoding::requiredNullable<platform::core::Date>(object, "publicationDate");
    fields.isDefault = decoding::required<bool>(object, "selected");
    MediaPart media = decodeMediaPart(object);
    auto track = std::make_shared<OVTrack>(Token{}, std::move(media), std::move(fields));
    track->initializeDownloadStatus();
    return track;
}

void OVTrack::setDownloadStatus(DownloadStatus status) {
    downloadStatus_ = status;
    if (auto delegate = delegate_.lock()) {
        delegate->downloadStatusDidChange(std::static_pointer_cast<OVTrack>(shared_from_this()), downloadStatus_);
    }
}

void OVTrack::initializeDownloadStatus() {
    if (audio().isDownloaded()) {
        setDownloadStatus(Downloaded{});
    } else {
        setDownloadStatus(NotDownloaded{});
    }
}

void OVTrack::download(const std::shared_ptr<OVTrackDownloadDelegate>& withDelegate) {
    PLATFORM_ASSERT_MAIN_THREAD();
    (void)withDelegate;  // reports go to the `delegate` property
    setDownloadStatus(InProgress{0});
    auto self = std::static_pointer_cast<OVTrack>(shared_from_this());
    audio().download(std::static_pointer_cast<OVAudioDownloadDelegate>(self), nullptr);
}

void OVTrack::downloadDidProgress(const OVAudio& forAudio, float toValue) {
    (void)forAudio;
    auto self = std::static_pointer_cast<OVTrack>(shared_from_this());
    platform::core::DispatchQueue::main().async([self, toValue] { self->setDownloadStatus(InProgress{toValue}); });
}

void OVTrack::downloadDidEnd(const OVAudio& forAudio, bool completed) {
    (void)forAudio;
    auto self = std::static_pointer_cast<OVTrack>(shared_from_this());
    platform::core::DispatchQueue::main().async([self, completed] {
        if (completed) {
            self->setDownloadStatus(InProgress{1.0f});
            self->setDownloadStatus(Downloaded{});
        } else {
            self->setDownloadStatus(NotDownloaded{});
        }
    });
}

std::optional<std::vector<std::shared_ptr<OVTrack>>> OVTrack::sorted(
    const std::optional<std::vector<std::shared_ptr<OVTrack>>>& tracks) {
    if (!tracks) return std::nullopt;
    auto copy = *tracks;
    // A list of fewer than two episodes makes no comparison; otherwise every
    // episode takes part in one, and a missing date fails the whole sort.
    if (copy.size() < 2) return copy;
    for (const auto& track : copy) {
        if (!track || !track->publicationDate()) return std::nullopt;
    }
    std::stable_sort(copy.begin(), copy.end(), [](const auto& a, const auto& b) {
        return *a->publicationDate() < *b->publicationDate();
    });
    return copy;
}

std::size_t OVTrackKeyHash::operator()(const std::shared_ptr<OVTrack>& track) const noexcept {
    return track ? std::hash<OVTrack>{}(*track) : 0;
}

bool OVTrackKeyEqual::operator()(const std::shared_ptr<OVTrack>& a, const std::shared_ptr<OVTrack>& b) const noexcept {
    if (!a || !b) return a == b;
    return *a == *b;
}

}  // namespace orvane
