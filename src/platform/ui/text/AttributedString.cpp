#include "platform/ui/text/AttributedString.hpp"

#include "platform/ui/text/TextLayout.hpp"

#include <algorithm>

namespace platform::ui {

std::optional<AttributeValue> TextAttributes::get(AttributeKey key) const {
    switch (key) {
    case AttributeKey::font: if (font) return AttributeValue(*font); break;
    case AttributeKey::foregroundColor: if (foregroundColor) return AttributeValue(*foregroundColor); break;
    case AttributeKey::paragraphStyle: if (paragraphStyle) return AttributeValue(*paragraphStyle); break;
    case AttributeKey::link: if (link) return AttributeValue(*link); break;
    }
    return std::nullopt;
}

void TextAttributes::set(AttributeKey key, const AttributeValue& value) {
    switch (key) {
    case AttributeKey::font: if (auto v = std::get_if<Font>(&value)) font = *v; break;
    case AttributeKey::foregroundColor: if (auto v = std::get_if<Color>(&value)) foregroundColor = *v; break;
    case AttributeKey::paragraphStyle: if (auto v = std::get_if<ParagraphStyle>(&value)) paragraphStyle = *v; break;
    case AttributeKey::link: if (auto v = std::get_if<std::string>(&value)) link = *v; break;
    }
}

void TextAttributes::remove(AttributeKey key) {
    switch (key) {
    case AttributeKey::font: font.reset(); break;
    case AttributeKey::foregroundColor: foregroundColor.reset(); break;
    case AttributeKey::paragraphStyle: paragraphStyle.reset(); break;
    case AttributeKey::link: link.reset(); break;
    }
}

AttributedString::AttributedString(std::string text, const TextAttributes& attributes) : text_(std::move(text)) {
    if (!text_.empty()) runs_.push_back({text_.size(), attributes});
}

// Appending joins the new text to the last run when their attributes agree;
// the runs before it are already merged, so appending stays linear however
// many runs the text has.
void AttributedString::append(const AttributedString& other) {
    if (other.text_.empty()) return;
    if (&other == this) {
        const AttributedString copy = other;
        append(copy);
        return;
    }
    text_ += other.text_;
    auto from = other.runs_.begin();
    if (!runs_.empty() && runs_.back().attributes == from->attributes) {
        runs_.back().length += from->length;
        ++from;
    }
    runs_.insert(runs_.end(), from, other.runs_.end());
}

void AttributedString::append(std::string_view text, const TextAttributes& attributes) {
    if (text.empty()) return;
    text_ += text;
    if (!runs_.empty() && runs_.back().attributes == attributes) runs_.back().length += text.size();
    else runs_.push_back({text.size(), attributes});
}

TextRange AttributedString::clamp(TextRange range) const {
    const auto isContinuation = [&](std::size_t i) {
        return i < text_.size() && (static_cast<unsigned char>(text_[i]) & 0xC0) == 0x80;
    };
    std::size_t start = std::min(range.location, text_.size());
    std::size_t end = range.length > text_.size() - start ? text_.size() : start + range.length;
    while (start > 0 && isContinuation(start)) --start;
    while (end < text_.size() && isContinuation(end)) ++end;
    return {start, end - start};
}

std::size_t AttributedString::splitAt(std::size_t index) {
    std::size_t position = 0;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        if (position == index) return i;
        if (index < position + runs_[i].length) {
            Run tail{position + runs_[i].length - index, runs_[i].attributes};
            runs_[i].length = index - position;
            runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
            return i + 1;
        }
        position += runs_[i].length;
    }
    return runs_.size();
}

void AttributedString::coalesce() {
    std::vector<Run> merged;
    merged.reserve(runs_.size());
    for (Run& run : runs_) {
        if (run.length == 0) continue;
        if (!merged.empty() && merged.back().attributes == run.attributes) merged.back().length += run.length;
        else merged.push_back(std::move(run));
    }
    runs_ = std::move(merged);
}

template <typename Change>
void AttributedString::change(TextRange range, Change&& change) {
    range = clamp(range);
    if (range.length == 0) return;
    const std::size_t first = splitAt(range.location);
    const std::size_t last = splitAt(range.end());
    for (std::size_t i = first; i < last; ++i) change(runs_[i].attributes);
    coalesce();
}

void AttributedString::addAttribute(AttributeKey key, const AttributeValue& value, TextRange range) {
    change(range, [&](TextAttributes& a) { a.set(key, value); });
}

void AttributedString::removeAttribute(AttributeKey key, TextRange range) {
    change(range, [&](TextAttributes& a) { a.remove(key); });
}

void AttributedString::setAttributes(const TextAttributes& attributes, TextRange range) {
    change(range, [&](TextAttributes& a) { a = attributes; });
}

TextAttributes AttributedString::attributes(std::size_t index, TextRange* effectiveRange) const {
    std::size_t position = 0;
    for (const Run& run : runs_) {
        if (index < position + run.length) {
            if (effectiveRange) *effectiveRange = {position, run.length};
            return run.attributes;
        }
        position += run.length;
    }
    if (effectiveRange) *effectiveRange = {text_.size(), 0};
    return {};
}

void AttributedString::enumerateAttributes(TextRange range, const AttributesVisitor& visit) const {
    range = clamp(range);
    std::size_t position = 0;
    bool stop = false;
    for (const Run& run : runs_) {
        const std::size_t start = std::max(position, range.location);
        const std::size_t end = std::min(position + run.length, range.end());
        position += run.length;
        if (start >= end) continue;
        visit(run.attributes, {start, end - start}, stop);
        if (stop) return;
    }
}

void AttributedString::enumerateAttribute(AttributeKey key, TextRange range, const AttributeVisitor& visit) const {
    std::optional<AttributeValue> current;
    TextRange pending;
    bool stop = false;
    bool any = false;
    enumerateAttributes(range, [&](const TextAttributes& attributes, TextRange r, bool& stopRuns) {
        std::optional<AttributeValue> value = attributes.get(key);
        if (any && value == current) {
            pending.length += r.length;
            return;
        }
        if (any) {
            visit(current, pending, stop);
            if (stop) {
                stopRuns = true;
                return;
            }
        }
        current = std::move(value);
        pending = r;
        any = true;
    });
    if (any && !stop) visit(current, pending, stop);
}

Size AttributedString::size() const { return measureText(*this).size; }

}  // namespace platform::ui
