#include "platform/ui/text/TextLayout.hpp"

#include "platform/ui/text/FontConfig.hpp"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace platform::ui {

namespace {

std::shared_ptr<const TextMeasurer>& installedMeasurer() {
    static std::shared_ptr<const TextMeasurer> measurer;
    return measurer;
}

bool isTruncating(LineBreakMode mode) {
    return mode == LineBreakMode::byTruncatingHead || mode == LineBreakMode::byTruncatingMiddle ||
           mode == LineBreakMode::byTruncatingTail;
}

struct Resolved {
    LineBreakMode mode;
    TextAlignment alignment;
    int lines;
};

Resolved resolve(const AttributedString& text, const TextLayoutOptions& options) {
    const ParagraphStyle style = text.attributes(0).paragraphStyle.value_or(ParagraphStyle{});
    return {options.lineBreakMode.value_or(style.lineBreakMode), options.alignment.value_or(style.alignment),
            std::max(0, options.numberOfLines)};
}

// ---- Pango ----

// One font map per thread on the fontconfig configuration of `Font`.
PangoFontMap* fontMap() {
    struct Map {
        PangoFontMap* map = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        Map() {
            if (map && PANGO_IS_FC_FONT_MAP(map))
                pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map), detail::fontconfigConfig());
        }
        ~Map() {
            if (map) g_object_unref(map);
        }
    };
    thread_local Map map;
    return map.map;
}

// A context that lays out in points without hinting, so sizes do not depend
// on the output device.
PangoContext* newContext() {
    PangoContext* context = pango_font_map_create_context(fontMap());
    cairo_font_options_t* fontOptions = cairo_font_options_create();
    cairo_font_options_set_hint_style(fontOptions, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(fontOptions, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(fontOptions, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context, fontOptions);
    cairo_font_options_destroy(fontOptions);
    pango_cairo_context_set_resolution(context, 72);
    pango_context_set_round_glyph_positions(context, FALSE);
    return context;
}

PangoContext* measuringContext() {
    struct Context {
        PangoContext* context = newContext();
        ~Context() { g_object_unref(context); }
    };
    thread_local Context context;
    return context.context;
}

const Font& systemFont12() {
    thread_local const Font font = Font::systemFont(12);
    return font;
}

PangoFontDescription* descriptionOf(const Font& font) {
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description,
                                      font.familyName().empty() ? "sans-serif" : font.familyName().c_str());
    pango_font_description_set_weight(description,
                                      static_cast<PangoWeight>(FcWeightToOpenType(font.fontconfigWeight())));
    pango_font_description_set_style(description, font.isItalic() ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(description, font.pointSize() * PANGO_SCALE);
    return description;
}

// The line height (Pango units) of a font whose own is `natural`, under the
// paragraph style's multiple, minimum and maximum.
int boundedLineHeight(int natural, const ParagraphStyle& style) {
    double height = natural;
    if (style.lineHeightMultiple > 0) height *= style.lineHeightMultiple;
    if (style.minimumLineHeight > 0) height = std::max(height, style.minimumLineHeight * PANGO_SCALE);
    if (style.maximumLineHeight > 0) height = std::min(height, style.maximumLineHeight * PANGO_SCALE);
    return static_cast<int>(std::lround(height));
}

guint16 channel(double v) { return static_cast<guint16>(std::lround(std::clamp(v, 0.0, 1.0) * 65535.0)); }

void insert(PangoAttrList* list, PangoAttribute* attribute, TextRange range) {
    attribute->start_index = static_cast<guint>(range.location);
    attribute->end_index = static_cast<guint>(range.end());
    pango_attr_list_insert(list, attribute);
}

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

// `height`: the room for lines when drawing (infinite when measuring); a
// truncating mode without a line limit ends the last line that fits in it.
LayoutPtr makeLayout(PangoContext* context, const AttributedString& text, const TextLayoutOptions& options,
                     double width, const Resolved& r, double height = std::numeric_limits<double>::infinity()) {
    LayoutPtr layout(pango_layout_new(context));
    pango_layout_set_text(layout.get(), text.string().data(), static_cast<int>(text.length()));
    const Font& defaultFont = options.defaultFont ? *options.defaultFont : systemFont12();
    const Color defaultColor = options.defaultColor.value_or(Color::black());

    PangoFontDescription* base = descriptionOf(defaultFont);
    pango_layout_set_font_description(layout.get(), base);
    pango_font_description_free(base);

    PangoAttrList* attributes = pango_attr_list_new();
    text.enumerateAttributes(text.fullRange(), [&](const TextAttributes& a, TextRange range, bool&) {
        PangoFontDescription* description = descriptionOf(a.font ? *a.font : defaultFont);
        insert(attributes, pango_attr_font_desc_new(description), range);
        const Color color = a.foregroundColor.value_or(defaultColor);
        insert(attributes, pango_attr_foreground_new(channel(color.red), channel(color.green), channel(color.blue)),
               range);
        insert(attributes, pango_attr_foreground_alpha_new(channel(color.alpha)), range);
        if (a.paragraphStyle) {
            const ParagraphStyle& style = *a.paragraphStyle;
            const bool bounded = style.minimumLineHeight > 0 || style.maximumLineHeight > 0;
            if (style.lineHeightMultiple > 0 && !bounded) {
                insert(attributes, pango_attr_line_height_new(style.lineHeightMultiple), range);
            } else if (bounded) {
                PangoFontMetrics* metrics = pango_context_get_metrics(context, description, nullptr);
                const int natural = pango_font_metrics_get_height(metrics);
                pango_font_metrics_unref(metrics);
                const int height = boundedLineHeight(natural, style);
                if (height != natural) insert(attributes, pango_attr_line_height_new_absolute(height), range);
            }
        }
        pango_font_description_free(description);
    });
    pango_layout_set_attributes(layout.get(), attributes);
    pango_attr_list_unref(attributes);

    switch (r.alignment) {
    case TextAlignment::center: pango_layout_set_alignment(layout.get(), PANGO_ALIGN_CENTER); break;
    case TextAlignment::right: pango_layout_set_alignment(layout.get(), PANGO_ALIGN_RIGHT); break;
    case TextAlignment::justified: pango_layout_set_justify(layout.get(), TRUE); break;
    case TextAlignment::left:
    case TextAlignment::natural: pango_layout_set_alignment(layout.get(), PANGO_ALIGN_LEFT); break;
    }

    const bool limited = std::isfinite(width) && width >= 0;
    const bool singleLine = r.lines == 1;
    pango_layout_set_wrap(layout.get(), r.mode == LineBreakMode::byCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    if (limited && !(singleLine && r.mode == LineBreakMode::byClipping))
        pango_layout_set_width(layout.get(), static_cast<int>(std::floor(width * PANGO_SCALE)));
    if (limited && isTruncating(r.mode) && (r.lines > 0 || std::isfinite(height))) {
        pango_layout_set_ellipsize(layout.get(), r.mode == LineBreakMode::byTruncatingHead     ? PANGO_ELLIPSIZE_START
                                                 : r.mode == LineBreakMode::byTruncatingMiddle ? PANGO_ELLIPSIZE_MIDDLE
                                                                                                : PANGO_ELLIPSIZE_END);
        pango_layout_set_height(layout.get(), r.lines > 0 ? -r.lines
                                                          : static_cast<int>(std::floor(height * PANGO_SCALE)));
    }
    return layout;
}

// The lines kept (at most `lines`, 0 for all): widest logical width and the
// bottom of the last one, in points.
TextMetrics metricsOf(PangoLayout* layout, int lines, double width, LineBreakMode mode) {
    TextMetrics m;
    const int count = pango_layout_get_line_count(layout);
    const int kept = lines > 0 ? std::min(lines, count) : count;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    int index = 0;
    double widest = 0;
    double bottom = 0;
    do {
        if (index >= kept) break;
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        widest = std::max(widest, static_cast<double>(logical.width) / PANGO_SCALE);
        bottom = static_cast<double>(logical.y + logical.height) / PANGO_SCALE;
        ++index;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    m.lineCount = kept;
    m.truncated = kept < count || pango_layout_is_ellipsized(layout);
    if (std::isfinite(width) && widest > width + 1e-9) {
        // A single clipped line shows only what fits.
        m.truncated = m.truncated || mode == LineBreakMode::byClipping;
        widest = width;
    }
    m.size = {widest, bottom};
    return m;
}

class PangoTextMeasurer final : public TextMeasurer {
public:
    TextMetrics measure(const AttributedString& text, const TextLayoutOptions& options) const override {
        if (text.length() == 0) return {};
        const Resolved r = resolve(text, options);
        LayoutPtr layout = makeLayout(measuringContext(), text, options, options.maxWidth, r);
        return metricsOf(layout.get(), r.lines, options.maxWidth, r.mode);
    }
};

// ---- fixed advance ----

std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

TextMetrics FixedAdvanceTextMeasurer::measure(const AttributedString& text, const TextLayoutOptions& options) const {
    if (text.length() == 0) return {};
    const Resolved r = resolve(text, options);
    const bool limited = std::isfinite(options.maxWidth) && options.maxWidth >= 0;
    const std::size_t capacity =
        limited ? std::max<std::size_t>(1, static_cast<std::size_t>(std::floor(options.maxWidth / advance_ + 1e-9)))
                : static_cast<std::size_t>(-1);
    const bool wraps = limited && r.lines != 1;

    std::vector<double> lines;  // widths
    bool cut = false;
    std::string_view rest = text.string();
    for (;;) {
        const std::size_t newline = rest.find('\n');
        const std::string_view paragraph = rest.substr(0, newline);
        if (!wraps) {
            const std::size_t n = characterCount(paragraph);
            if (limited && n > capacity) {
                cut = true;
                lines.push_back(isTruncating(r.mode) ? static_cast<double>(capacity) * advance_ : options.maxWidth);
            } else {
                lines.push_back(static_cast<double>(n) * advance_);
            }
        } else if (r.mode == LineBreakMode::byCharWrapping) {
            std::size_t n = characterCount(paragraph);
            do {
                const std::size_t take = std::min(n, capacity);
                lines.push_back(static_cast<double>(take) * advance_);
                n -= take;
            } while (n > 0);
        } else {
            std::size_t current = 0;
            bool started = false;
            std::size_t start = 0;
            while (start <= paragraph.size()) {
                const std::size_t space = paragraph.find(' ', start);
                const std::string_view word = paragraph.substr(start, space == std::string_view::npos ? space : space - start);
                std::size_t n = characterCount(word);
                if (started && current + 1 + n <= capacity) {
                    current += 1 + n;
                } else {
                    if (started) lines.push_back(static_cast<double>(current) * advance_);
                    while (n > capacity) {  // a word longer than a line breaks by characters
                        lines.push_back(static_cast<double>(capacity) * advance_);
                        n -= capacity;
                    }
                    current = n;
                    started = true;
                }
                if (space == std::string_view::npos) break;
                start = space + 1;
            }
            lines.push_back(static_cast<double>(current) * advance_);
        }
        if (newline == std::string_view::npos) break;
        rest.remove_prefix(newline + 1);
    }

    if (r.lines > 0 && lines.size() > static_cast<std::size_t>(r.lines)) {
        lines.resize(static_cast<std::size_t>(r.lines));
        cut = true;
        // The last line shown ends in an ellipsis after as much text as fits.
        if (isTruncating(r.mode) && limited) lines.back() = static_cast<double>(capacity) * advance_;
    }
    // The paragraph style at the start bounds every line, as it does for Pango.
    double lineHeight = lineHeight_;
    if (const auto style = text.attributes(0).paragraphStyle) {
        if (style->lineHeightMultiple > 0) lineHeight *= style->lineHeightMultiple;
        if (style->minimumLineHeight > 0) lineHeight = std::max(lineHeight, style->minimumLineHeight);
        if (style->maximumLineHeight > 0) lineHeight = std::min(lineHeight, style->maximumLineHeight);
    }
    TextMetrics m;
    m.lineCount = static_cast<int>(lines.size());
    m.truncated = cut;
    m.size = {*std::max_element(lines.begin(), lines.end()), static_cast<double>(lines.size()) * lineHeight};
    return m;
}

std::shared_ptr<const TextMeasurer> setTextMeasurer(std::shared_ptr<const TextMeasurer> measurer) {
    std::shared_ptr<const TextMeasurer> previous = std::move(installedMeasurer());
    installedMeasurer() = std::move(measurer);
    return previous;
}

TextMetrics measureText(const AttributedString& text, const TextLayoutOptions& options) {
    if (const auto& measurer = installedMeasurer()) return measurer->measure(text, options);
    static const PangoTextMeasurer pango;
    return pango.measure(text, options);
}

std::optional<std::size_t> characterIndexAt(const AttributedString& text, const TextLayoutOptions& options, double width,
                                            Point point) {
    if (text.length() == 0 || !std::isfinite(point.x) || !std::isfinite(point.y) || point.x < 0 || point.y < 0)
        return std::nullopt;
    const Resolved r = resolve(text, options);
    LayoutPtr layout = makeLayout(measuringContext(), text, options, width, r);
    const TextMetrics metrics = metricsOf(layout.get(), r.lines, width, r.mode);
    if (point.y >= metrics.size.height) return std::nullopt;  // below the lines kept
    int index = 0;
    int trailing = 0;
    const bool inside = pango_layout_xy_to_index(layout.get(), static_cast<int>(point.x * PANGO_SCALE),
                                                 static_cast<int>(point.y * PANGO_SCALE), &index, &trailing);
    if (!inside || index < 0 || static_cast<std::size_t>(index) >= text.length()) return std::nullopt;
    return static_cast<std::size_t>(index);
}

void drawText(cairo_t* cr, const AttributedString& text, const Rect& rect, const TextLayoutOptions& options) {
    if (!cr || text.length() == 0) return;
    const Rect r = rect.standardized();
    if (r.size.width <= 0 || r.size.height <= 0) return;
    const Resolved resolved = resolve(text, options);
    PangoContext* context = newContext();
    pango_cairo_update_context(cr, context);
    LayoutPtr layout = makeLayout(context, text, options, r.size.width, resolved, r.size.height);
    const TextMetrics metrics = metricsOf(layout.get(), resolved.lines, std::numeric_limits<double>::infinity(),
                                          resolved.mode);

    double x = r.origin.x;
    if (pango_layout_get_width(layout.get()) < 0 && metrics.size.width < r.size.width) {
        // An unwrapped line is aligned here (Pango aligns only within a width).
        const double room = r.size.width - metrics.size.width;
        if (resolved.alignment == TextAlignment::center) x += room / 2;
        else if (resolved.alignment == TextAlignment::right) x += room;
    }
    cairo_save(cr);
    cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, std::min(r.size.height, metrics.size.height));
    cairo_clip(cr);
    cairo_move_to(cr, x, r.origin.y);
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
    g_object_unref(context);
}

}  // namespace platform::ui
