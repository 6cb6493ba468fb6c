// The presenter base of the pages. `OVPageInteractorInput` is the presenter
// as the page base sees it: the table's data source plus the element list.
// `OVPageInteractorInteractor` is the base presenter class: it owns the
// page's elements in row order and serves the table one row per element,
// the row's cell being the element's own cell (never one from the reuse
// pool), keeps the last theme and main colour, finds elements by type and
// offers empty hooks for the updates a page's presenter handles. Made by its
// page (which keeps it) with the coordinator, held weakly. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageElementProtocol.hpp"
#include "orvane/playback/OVAudioPlayerDelegate.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/IndexPath.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

using OVPageElements = std::vector<std::shared_ptr<OVPageElementProtocol>>;

class OVPageInteractorInput : public platform::ui::TableViewDataSource {
public:
    // A row of the page was selected.
    virtual void didSelectRowAt(const platform::ui::IndexPath& indexPath) = 0;
    // Replaces the element list; the table is not reloaded.
    virtual void update(OVPageElements pageElements) = 0;
    // The element list, in row order.
    virtual const OVPageElements& pageElements() const = 0;
};

class OVPageInteractorInteractor : public virtual OVPageInteractorInput,
                                   public std::enable_shared_from_this<OVPageInteractorInteractor> {
protected:
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    // The element found by `firstExpandElement`, with its row.
    template <class T>
    struct FoundElement {
        int index;
        std::shared_ptr<T> dataElement;
    };

    static std::shared_ptr<OVPageInteractorInteractor> create(const std::shared_ptr<OVPageCoordinator>& coordinator);
    OVPageInteractorInteractor(ConstructorKey, const std::shared_ptr<OVPageCoordinator>& coordinator)
        : coordinator_(coordinator) {}
    ~OVPageInteractorInteractor() override = default;
    OVPageInteractorInteractor(const OVPageInteractorInteractor&) = delete;
    OVPageInteractorInteractor& operator=(const OVPageInteractorInteractor&) = delete;

    std::shared_ptr<OVPageCoordinator> coordinator() const { return coordinator_.lock(); }
    void setCoordinator(const std::shared_ptr<OVPageCoordinator>& coordinator) { coordinator_ = coordinator; }
    const OVPageElements& pageElements() const override { return pageElements_; }
    void setPageElements(OVPageElements pageElements) { pageElements_ = std::move(pageElements); }
    const std::optional<OVTheme>& theme() const { return theme_; }
    void setTheme(std::optional<OVTheme> theme) { theme_ = theme; }
    const std::optional<platform::graphics::Color>& mainColor() const { return mainColor_; }
    void setMainColor(std::optional<platform::graphics::Color> mainColor) { mainColor_ = mainColor; }

    // The first element of type `T`, with its row; none when there is none.
    template <class T>
    std::optional<FoundElement<T>> firstExpandElement() const {
        int index = 0;
        for (const auto& element : pageElements_) {
            if (auto found = std::dynamic_pointer_cast<T>(element)) return FoundElement<T>{index, std::move(found)};
            ++index;
        }
        return std::nullopt;
    }

    void update(OVPageElements pageElements) override;
    // Keeps both; a page's presenter calls it first, then dresses its cells.
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    // Hooks, empty here.
    virtual void update(const std::shared_ptr<OVTrack>& /*withEpisode*/, const OVContent& /*inPodcast*/) {}
    virtual void update(OVAudioPlayerStatus /*withAudioStatus*/) {}
    virtual void update(const OVAudioPosition& /*withAudioPosition*/) {}
    void didSelectRowAt(const platform::ui::IndexPath& /*indexPath*/) override {}

    // ---- TableViewDataSource ----
    // The number of elements, whatever the section.
    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    // The row's element's own cell; a new plain cell when the element has
    // none (or the row is outside the list).
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                            const platform::ui::IndexPath& indexPath) override;

private:
    std::weak_ptr<OVPageCoordinator> coordinator_;
    OVPageElements pageElements_;
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
};

}  // namespace orvane
