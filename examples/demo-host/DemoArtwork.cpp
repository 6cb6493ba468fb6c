#include "DemoArtwork.hpp"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

namespace demo {

namespace {

struct Rgb {
    double r = 0.5, g = 0.5, b = 0.5;
};

Rgb parse(const std::string& color) {
    unsigned r = 0, g = 0, b = 0;
    if (color.size() != 7 || color[0] != '#' || std::sscanf(color.c_str() + 1, "%2x%2x%2x", &r, &g, &b) != 3) return {};
    return {r / 255.0, g / 255.0, b / 255.0};
}

// Towards white (amount > 0) or black (amount < 0).
Rgb shade(Rgb c, double amount) {
    const double target = amount > 0 ? 1.0 : 0.0;
    const double f = std::abs(amount);
    return {c.r + (target - c.r) * f, c.g + (target - c.g) * f, c.b + (target - c.b) * f};
}

void setColor(cairo_t* cr, Rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void background(cairo_t* cr, Rgb base, int side) {
    auto gradient = cairo_pattern_create_linear(0, 0, side, side);
    const auto light = shade(base, 0.25), dark = shade(base, -0.35);
    cairo_pattern_add_color_stop_rgb(gradient, 0, light.r, light.g, light.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, dark.r, dark.g, dark.b);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
}

// White text in a box `width` wide whose bottom-left corner is at (x, y).
void text(cairo_t* cr, const std::string& words, double x, double y, double width, double size) {
    auto layout = pango_cairo_create_layout(cr);
    auto font = pango_font_description_from_string("Sans Bold");
    pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    pango_layout_set_text(layout, words.c_str(), -1);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    cairo_move_to(cr, x, y - h);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.95);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
}

std::vector<std::uint8_t> png(cairo_surface_t* surface) {
    std::vector<std::uint8_t> bytes;
    cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    return bytes;
}

template <class Draw>
std::vector<std::uint8_t> draw(int side, Draw&& drawing) {
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, side, side), cairo_surface_destroy);
    Context cr(cairo_create(surface.get()), cairo_destroy);
    drawing(cr.get());
    cairo_surface_flush(surface.get());
    return png(surface.get());
}

}  // namespace

std::vector<std::uint8_t> drawPodcastCover(const std::string& title, const std::string& color, int side) {
    const Rgb base = parse(color);
    const double s = side;
    return draw(side, [&](cairo_t* cr) {
        background(cr, base, side);
        // Rings and discs, placed from the title so that covers differ.
        unsigned seed = 0;
        for (const char c : title) seed = seed * 31 + static_cast<unsigned char>(c);
        for (int i = 0; i < 4; ++i) {
            const double x = s * (0.2 + 0.6 * ((seed >> (i * 5)) % 17) / 16.0);
            const double y = s * (0.1 + 0.4 * ((seed >> (i * 3 + 2)) % 11) / 10.0);
            const double r = s * (0.12 + 0.05 * i);
            cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
            setColor(cr, shade(base, i % 2 ? 0.5 : -0.5), 0.25);
            cairo_fill(cr);
        }
        cairo_set_line_width(cr, s * 0.012);
        for (int i = 1; i <= 3; ++i) {
            cairo_arc(cr, s * 0.78, s * 0.22, s * 0.07 * i, 0, 2 * std::numbers::pi);
            cairo_set_source_rgba(cr, 1, 1, 1, 0.5 - 0.12 * i);
            cairo_stroke(cr);
        }
        // The podcast's initial, large, over its title; both in the middle
        // band that a wide crop of the cover keeps.
        const std::string initial = title.empty() ? std::string() : title.substr(0, 1);
        text(cr, initial, s * 0.08, s * 0.56, s * 0.6, s * 0.28);
        text(cr, title, s * 0.08, s * 0.78, s * 0.84, s * 0.08);
    });
}

std::vector<std::uint8_t> drawEpisodeArtwork(const std::string& color, int number, int side) {
    const Rgb base = parse(color);
    const double s = side;
    return draw(side, [&](cairo_t* cr) {
        background(cr, shade(base, 0.35), side);
        // A sun, then three hills, the nearest darkest; the episode's number
        // moves the sun and the ridges.
        const double phase = number * 1.7;
        cairo_arc(cr, s * (0.25 + 0.5 * std::fmod(number * 0.37, 1.0)), s * 0.3, s * 0.11, 0, 2 * std::numbers::pi);
        cairo_set_source_rgba(cr, 1, 0.95, 0.8, 0.9);
        cairo_fill(cr);
        for (int layer = 0; layer < 3; ++layer) {
            const double baseline = s * (0.55 + 0.12 * layer);
            cairo_move_to(cr, 0, s);
            for (int x = 0; x <= side; x += std::max(1, side / 60)) {
                const double y = baseline + s * 0.05 * std::sin(x / s * (3 + layer) + phase + layer);
                cairo_line_to(cr, x, y);
            }
            cairo_line_to(cr, s, s);
            cairo_close_path(cr);
            setColor(cr, shade(base, -0.1 - 0.25 * layer));
            cairo_fill(cr);
        }
    });
}

}  // namespace demo
