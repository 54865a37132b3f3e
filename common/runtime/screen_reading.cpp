#include "common/runtime/screen_reading.h"

#include "common/runtime/text_grid.h"

#include <algorithm>
#include <sstream>

namespace rt {

void ScreenReading::drawn(const Rect& area, const std::string& text, bool opaque) {
    std::erase_if(texts_, [&](const Placed& old) {
        return (old.area.x == area.x && old.area.y == area.y) || (opaque && old.area.inside(area));
    });
    if (texts_.size() == max_texts) texts_.erase(texts_.begin());
    // A text of blanks only erases.
    if (text.find_first_not_of(' ') != std::string::npos) texts_.push_back({area, text});
}

void ScreenReading::covered(const Rect& area) {
    std::erase_if(texts_, [&](const Placed& old) { return old.area.inside(area); });
}

void ScreenReading::describe(const std::string& sentence) {
    if (std::find(sentences_.begin(), sentences_.end(), sentence) != sentences_.end()) return;
    if (sentences_.size() == max_sentences) sentences_.erase(sentences_.begin());
    sentences_.push_back(sentence);
}

void ScreenReading::clear() {
    texts_.clear();
    sentences_.clear();
}

std::vector<std::string> ScreenReading::text_lines() const {
    std::vector<const Placed*> order;
    order.reserve(texts_.size());
    for (const Placed& placed : texts_) order.push_back(&placed);
    std::stable_sort(order.begin(), order.end(), [](const Placed* a, const Placed* b) {
        return a->area.y != b->area.y ? a->area.y < b->area.y : a->area.x < b->area.x;
    });
    std::vector<std::string> lines;
    for (std::size_t first = 0; first < order.size();) {
        // The line's texts: those starting within half a height below its first.
        std::size_t end = first + 1;
        while (end < order.size() && order[end]->area.y - order[first]->area.y < (order[first]->area.h + 1) / 2) ++end;
        std::stable_sort(order.begin() + static_cast<long>(first), order.begin() + static_cast<long>(end),
                         [](const Placed* a, const Placed* b) { return a->area.x < b->area.x; });
        std::string line;
        for (std::size_t i = first; i < end; ++i) {
            const std::string& text = order[i]->text;
            const std::size_t from = text.find_first_not_of(' '), to = text.find_last_not_of(' ');
            if (!line.empty()) line += "  ";
            line += text.substr(from, to - from + 1);
        }
        lines.push_back(line);
        first = end;
    }
    return lines;
}

std::string describe_screen(const ScreenReading& reading, const TextGrid& grid) {
    std::string out;
    const auto add = [&](const std::string& line) {
        const std::size_t from = line.find_first_not_of(' ');
        if (from == std::string::npos) return;
        out += line.substr(from, line.find_last_not_of(' ') - from + 1);
        out += '\n';
    };
    for (const std::string& sentence : reading.sentences()) add(sentence);
    std::istringstream cells(grid.to_text());
    for (std::string line; std::getline(cells, line);) add(line);
    for (const std::string& line : reading.text_lines()) add(line);
    return out;
}

}  // namespace rt
