// An episode: the media record plus title, number, publication date, default
// flag and the state of its download to the device.
//
// Shared by reference: every copy of the content that holds an episode sees
// the same object, with its download status and delegate. Built on the
// decoding queue (widget state) or on the caller's thread (demo content);
// afterwards its status is written only on the main thread. The delegate is
// held weakly. Equality and hashing use the key alone.
#pragma once

#include "orvane/model/OVMedia.hpp"
#include "platform/core/Date.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace orvane {

class OVTrackDownloadDelegate;

class OVTrack : public OVMedia, public OVAudioDownloadDelegate {
public:
    // Download status: in progress (fraction done, 0 to 1), not downloaded, or
    // downloaded (the cache's download folder holds the audio).
    struct InProgress {
        float value = 0;
    };
    struct NotDownloaded {};
    struct Downloaded {};
    using DownloadStatus = std::variant<InProgress, NotDownloaded, Downloaded>;

    // Builds an episode from values (demo content); the download status is
    // then read from the disk cache.
    static std::shared_ptr<OVTrack> create(std::string identifier, std::string title,
                                           std::optional<std::int64_t> number, OVAudio audio,
                                           OVObjDescription description,
                                           std::optional<platform::core::Date> publicationDate,
                                           bool isDefault = false);
    // Throws DecodingError. Reads the disk cache once for the download status.
    static std::shared_ptr<OVTrack> decode(const platform::core::Json& json);

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::optional<std::int64_t>& number() const { return number_; }
    void setNumber(std::optional<std::int64_t> number) { number_ = number; }
    const std::optional<platform::core::Date>& publicationDate() const { return publicationDate_; }
    void setPublicationDate(std::optional<platform::core::Date> date) { publicationDate_ = date; }
    bool isDefault() const { return isDefault_; }
    void setIsDefault(bool isDefault) { isDefault_ = isDefault; }

    // The live delegate, or null.
    std::shared_ptr<OVTrackDownloadDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVTrackDownloadDelegate> delegate) { delegate_ = std::move(delegate); }

    const DownloadStatus& downloadStatus() const { return downloadStatus_; }
    // Stores the status, then tells the live delegate, even when the value
    // did not change. Runs on the caller's thread.
    void setDownloadStatus(DownloadStatus status);

    // Sets the status from the disk: downloaded when the cache's download
    // folder holds the audio, else not downloaded.
    void initializeDownloadStatus();

    // Starts downloading the audio: the status becomes in progress (0) at
    // once; later reports change it on the main queue. The caller sets
    // `delegate` to itself beforehand. Main thread.
    void download(const std::shared_ptr<OVTrackDownloadDelegate>& withDelegate);

    // Reports of the audio download, applied asynchronously on the main queue
    // in arrival order (the queued change keeps the episode alive).
    void downloadDidProgress(const OVAudio& forAudio, float toValue) override;
    void downloadDidEnd(const OVAudio& forAudio, bool completed) override;

    // The episodes by ascending publication date; none for none, and none when
    // two or more episodes are compared and one has no date.
    static std::optional<std::vector<std::shared_ptr<OVTrack>>> sorted(
        const std::optional<std::vector<std::shared_ptr<OVTrack>>>& tracks);

    friend bool operator==(const OVTrack& a, const OVTrack& b) { return a.key() == b.key(); }

    struct EpisodeFields {
        std::string title;
        std::optional<std::int64_t> number;
        std::optional<platform::core::Date> publicationDate;
        bool isDefault = false;
    };
    OVTrack(Token, MediaPart media, EpisodeFields fields);

private:
    std::string title_;
    std::optional<std::int64_t> number_;
    std::optional<platform::core::Date> publicationDate_;
    bool isDefault_ = false;
    std::weak_ptr<OVTrackDownloadDelegate> delegate_;
    DownloadStatus downloadStatus_ = NotDownloaded{};
};

// Told of every change of an episode's download status (the coordinator).
class OVTrackDownloadDelegate {
public:
    virtual ~OVTrackDownloadDelegate() = default;
    virtual void downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack,
                                         const OVTrack::DownloadStatus& to) = 0;
};

// Equality and hashing of shared episodes by key, for containers of
// std::shared_ptr<OVTrack> (null equals only null).
struct OVTrackKeyHash {
    std::size_t operator()(const std::shared_ptr<OVTrack>& track) const noexcept;
};
struct OVTrackKeyEqual {
    bool operator()(const std::shared_ptr<OVTrack>& a, const std::shared_ptr<OVTrack>& b) const noexcept;
};

}  // namespace orvane

template <>
struct std::hash<orvane::OVTrack> {
    std::size_t operator()(const orvane::OVTrack& track) const noexcept {
        return std::hash<std::string>{}(track.key());
    }
};
