// Test kit for the element tests: an element's cell shown as a page shows
// it, the one row (of automatic height) of a table as wide as a window of
// the given width, the window as high as the row; then drawn, and written
// as "<name>.png" into $ORVANE_SNAPSHOT_DIR when that is set. The window
// takes touches (`testsupport::tap(*shown.window, ...)`) and can be drawn
// again after a change (`shown.snapshot("name-after")`). Header-only; main
// thread.
//
//   auto shown = testsupport::showCell(element->tableViewCell(), 375, "player-light");
//   EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*shown.image, 10, 10), {255, 255, 255, 255}, 4));
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/graphics/Image.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/views/Window.hpp"

namespace testsupport {

struct ShownCell {
    // Serves the one row.
    struct Rows : platform::ui::TableViewDataSource {
        std::shared_ptr<platform::ui::TableViewCell> cell;
        int numberOfRows(platform::ui::TableView&, int) override { return 1; }
        std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView&,
                                                                const platform::ui::IndexPath&) override {
            return cell;
        }
    };

    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<platform::ui::TableView> table;
    std::shared_ptr<Rows> rows;
    std::optional<platform::graphics::Image> image;

    // Fits the window to the row again, draws it and writes "<name>.png".
    std::optional<platform::graphics::Image> snapshot(const std::string& name) {
        window->layoutIfNeeded();
        const double height = rows->cell->frame().size.height;
        if (height > 0 && height != window->size().height) {
            window->setSize({window->size().width, height});
            window->layoutIfNeeded();
        }
        image = window->snapshot();
        EXPECT_TRUE(image) << name;
        if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"); dir && image)
            image->writePng(std::filesystem::path(dir) / (name + ".png"));
        return image;
    }
};

// `maxHeight` bounds the row while it is measured.
inline ShownCell showCell(const std::shared_ptr<platform::ui::TableViewCell>& cell, double width,
                          const std::string& name, double maxHeight = 2000) {
    ShownCell shown;
    shown.rows = std::make_shared<ShownCell::Rows>();
    shown.rows->cell = cell;
    shown.window = platform::ui::Window::create({width, maxHeight});
    shown.window->setBackgroundColor(platform::graphics::Color::white());
    shown.table = platform::ui::TableView::create({0, 0, width, maxHeight});
    shown.table->setAutoresizingMask(platform::ui::AutoresizingMask::flexibleWidth |
                                     platform::ui::AutoresizingMask::flexibleHeight);
    shown.table->setSeparatorStyle(platform::ui::TableViewCellSeparatorStyle::none);
    shown.table->setRowHeight(platform::ui::TableView::automaticDimension);
    shown.table->setScrollEnabled(false);
    shown.table->setDataSource(shown.rows);
    shown.window->addSubview(shown.table);
    EXPECT_TRUE(cell) << name << ": no cell to show";
    if (cell) shown.snapshot(name);
    return shown;
}

}  // namespace testsupport
