// The page footer: one line of powered-by text that a page places under its
// last row as its table's footer view. A view made from the nib
// "OVPageFooter" (`OVPageFooter`), its presenter (`OVPageFooterInteractor`)
// and the value models the presenter computes and the view applies. Only the
// nib path gives a working footer: waking from the nib makes its presenter
// and holds it at 50 points high; a footer made in code has neither its
// presenter nor its label and ignores updates. The footer owns its
// presenter, which points back weakly. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

struct OVPageFooterModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color textColor;
        friend bool operator==(const Style&, const Style&) = default;
    };
    struct Data {
        std::string text;
        friend bool operator==(const Data&, const Data&) = default;
    };
};

// The footer as its presenter sees it.
class OVPageFooterInput {
public:
    virtual ~OVPageFooterInput() = default;
    virtual void update(const OVPageFooterModel::Style& withViewModel) = 0;
    virtual void update(const OVPageFooterModel::Data& withViewModel) = 0;
};

// The presenter as the footer sees it.
class OVPageFooterInteractorInput {
public:
    virtual ~OVPageFooterInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const std::string& withText) = 0;
};

class OVPageFooterInteractor : public OVPageFooterInteractorInput {
public:
    explicit OVPageFooterInteractor(const std::shared_ptr<OVPageFooterInput>& view) : view_(view) {}

    // The theme's background and footer text colours; the main colour is not used.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const std::string& withText) override;

private:
    std::weak_ptr<OVPageFooterInput> view_;
};

class OVPageFooter : public platform::ui::View, public OVPageFooterInput {
public:
    static constexpr const char* nibName = "OVPageFooter";
    // The height the footer asks for, below required constraints.
    static constexpr double height = 50;
    static constexpr double heightPriority = platform::ui::LayoutPriority::defaultHigh;

    // A footer made in code: no label, no presenter.
    static std::shared_ptr<OVPageFooter> create(const platform::graphics::Rect& frame = {});
    OVPageFooter(ConstructorKey key, const platform::graphics::Rect& frame) : View(key, frame) {}

    // Registers the nib "OVPageFooter": the footer with its label filling it,
    // the label connected as the footer's outlet.
    static void registerNib();
    // The footer a page attaches under its table: made from the nib with
    // `owner` (made even when nothing is attached; the module's nib is
    // registered first when no builder of that name is), then none without
    // a theme or without a text, or when the nib gives no footer; else
    // showing the text.
    static std::shared_ptr<OVPageFooter> makeForPage(const std::shared_ptr<void>& owner,
                                                     const std::optional<OVTheme>& theme,
                                                     const std::optional<std::string>& poweredByLabel);

    // Make the presenter and hold the footer at 50 points high.
    void awakeFromNib() override;

    // Both pass to the presenter; nothing without one.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    void update(const std::string& withText);

    // ---- OVPageFooterInput: from the presenter ----
    void update(const OVPageFooterModel::Style& withViewModel) override;
    void update(const OVPageFooterModel::Data& withViewModel) override;

    // The outlet of the nib.
    const std::shared_ptr<platform::ui::Label>& propulsedText() const { return propulsedText_; }
    void setPropulsedText(std::shared_ptr<platform::ui::Label> label) { propulsedText_ = std::move(label); }
    const std::shared_ptr<OVPageFooterInteractorInput>& interactor() const { return interactor_; }

private:
    std::shared_ptr<platform::ui::Label> propulsedText_;
    std::shared_ptr<OVPageFooterInteractorInput> interactor_;
};

}  // namespace orvane
