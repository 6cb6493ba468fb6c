// A section header of the podcast episodes list: the section's title under
// a top spacing of 25 points (the page elements' top margin), 47 points in
// all when shown. Made only by its nib (`nib`, named `NibName`), one per
// section, owned by the list cell. Main thread only.
#pragma once

#include <memory>
#include <string_view>

#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVPodcastEpisodesListHeader : public platform::ui::View {
public:
    static constexpr std::string_view NibName = "OVPodcastEpisodesListHeader";
    static bool nib(platform::ui::NibBuild& build);

    OVPodcastEpisodesListHeader(ConstructorKey key, const platform::graphics::Rect& frame);

    const std::shared_ptr<platform::ui::Label>& label() const { return label_; }
    const platform::ui::LayoutConstraintPtr& topConstraint() const { return topConstraint_; }

    void awakeFromNib() override;

private:
    std::shared_ptr<platform::ui::Label> label_;
    platform::ui::LayoutConstraintPtr topConstraint_;
};

}  // namespace orvane
