// Text measuring as labels do it: 200 label texts of different lengths (one
// screen of list cells) measured at their natural size and laid out in a
// 300-point-wide, two-line label truncated at the tail, with Pango on the
// installed fonts. Reading HTML descriptions into attributed text: ordinary
// formatted markup (paragraphs of bold, italic and links) of 50 KB, 250 KB
// and 1 MB, read alone and then re-fonted as the component shows it; the time
// should grow in proportion to the size.
#include "orvane/toolkit/AttributedStringExtensions.hpp"
#include "platform/ui/text/HtmlText.hpp"
#include "platform/ui/text/TextLayout.hpp"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace platform::ui;

std::vector<AttributedString> labelTexts() {
    const std::vector<std::string> words = {"episode", "podcast", "the",   "morning", "news",  "with",
                                            "guests",  "and",     "music", "special", "live",  "interview",
                                            "weekly",  "review",  "of",    "science", "story", "history"};
    const Font title = Font::systemFont(15, Font::Weight::semibold);
    const Font body = Font::systemFont(13);
    std::vector<AttributedString> texts;
    for (int i = 0; i < 200; ++i) {
        std::string text = "#" + std::to_string(i + 1);
        for (int w = 0; w < 3 + i % 17; ++w) text += " " + words[static_cast<std::size_t>(i * 7 + w * 3) % words.size()];
        texts.emplace_back(text, TextAttributes{i % 2 ? title : body, Color::black(), {}, {}});
    }
    return texts;
}

void BM_Measure200Labels(benchmark::State& state) {
    const std::vector<AttributedString> texts = labelTexts();
    TextLayoutOptions cell;
    cell.maxWidth = 300;
    cell.numberOfLines = 2;
    cell.lineBreakMode = LineBreakMode::byTruncatingTail;
    for (auto _ : state) {
        double total = 0;
        for (const AttributedString& text : texts) {
            total += measureText(text).size.width;          // intrinsic size
            total += measureText(text, cell).size.height;   // laid out in the cell
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(BM_Measure200Labels)->Unit(benchmark::kMillisecond);

std::string formattedHtml(std::size_t size) {
    const std::string paragraph = "<p><b>a</b> <i>b</i> <a href>c</a></p>";
    std::string html;
    html.reserve(size + paragraph.size());
    while (html.size() < size) html += paragraph;
    return html;
}

void BM_ReadFormattedHtml(benchmark::State& state) {
    const std::string html = formattedHtml(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto text = attributedStringFromHtml(html);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(html.size()));
}
BENCHMARK(BM_ReadFormattedHtml)->Arg(50'000)->Arg(250'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_ReadAndReFontFormattedHtml(benchmark::State& state) {
    const std::string html = formattedHtml(static_cast<std::size_t>(state.range(0)));
    const Font font = Font::systemFont(15);
    for (auto _ : state) {
        auto text = orvane::attributedStringForHTMLString(html, font, Color{0.2, 0.2, 0.2, 1});
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(html.size()));
}
BENCHMARK(BM_ReadAndReFontFormattedHtml)->Arg(50'000)->Arg(250'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
