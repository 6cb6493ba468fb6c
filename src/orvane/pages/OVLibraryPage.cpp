#include "orvane/pages/OVLibraryPage.hpp"

#include "orvane/model/StringExtensions.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

using platform::ui::AttributedString;
using platform::ui::TextAttributes;

OVLibraryPage::OVLibraryPage(ConstructorKey key) : OVPage(key) {}
OVLibraryPage::~OVLibraryPage() = default;

void OVLibraryPage::initialize(const std::shared_ptr<OVPageCoordinator>& /*coordinator*/) {}

std::string_view OVLibraryPage::messageKey(OVSubscription subscription) {
    switch (subscription) {
    case OVSubscription::podcast:
        return "POPUP_PODCAST_SUBSCRIPTION";
    case OVSubscription::notification:
        return "POPUP_PODCAST_NOTIFICATION_SUBSCRIPTION";
    }
    return "POPUP_PODCAST_SUBSCRIPTION";
}

std::optional<AttributedString> OVLibraryPage::popupAttributedText(std::string_view message,
                                                                   std::string_view highlighted,
                                                                   const OVConstants::OptionalFont& font,
                                                                   const OVConstants::OptionalFont& boldFont) {
    if (!font || !boldFont) return std::nullopt;
    const auto mark = message.find('#');
    if (mark == std::string_view::npos) return std::nullopt;
    const auto white = platform::graphics::Color::white();
    TextAttributes regular;
    regular.font = *font;
    regular.foregroundColor = white;
    TextAttributes bold;
    bold.font = *boldFont;
    bold.foregroundColor = white;
    AttributedString text(std::string(message.substr(0, mark)), regular);
    text.append(highlighted, bold);
    text.append(message.substr(mark + 1), regular);
    return text;
}

std::optional<AttributedString> OVLibraryPage::popupAttributedText(const OVTrack& forEpisode) {
    return popupAttributedText(localized(addEpisodeMessageKey), forEpisode.title(), OVConstants::OVPopup::font(),
                               OVConstants::OVPopup::boldFont());
}

std::optional<AttributedString> OVLibraryPage::popupAttributedText(
    OVSubscription forSuscription, const std::optional<std::string>& forPodcastWithtitle) {
    return popupAttributedText(localized(messageKey(forSuscription)), forPodcastWithtitle.value_or(""),
                               OVConstants::OVPopup::font(), OVConstants::OVPopup::boldFont());
}

}  // namespace orvane
