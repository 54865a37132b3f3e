#include "common/runtime/runtime.h"

#include "common/runtime/asset_file.h"
#include "common/runtime/asset_path.h"
#include "common/runtime/number_format.h"
#include "common/runtime/projector_palette.h"
#include "common/runtime/projector_picture.h"
#include "common/runtime/surface.h"
#include "common/runtime/vector_state.h"

#include <algorithm>

namespace rt {

Runtime::Runtime(int width, int height)
    : surface_(std::make_unique<Surface>(width, height)),
      generator_(1),
      wanted_colour_(surface_->colour()),
      wanted_second_colour_(surface_->second_colour()),
      wanted_background_(surface_->background_colour()),
      extras_(std::make_unique<ExtrasServices>(*this)) {}

Runtime::~Runtime() = default;

void Runtime::set_menu_handler(std::function<void(int)> handler) { menu_handler_ = std::move(handler); }

void Runtime::install_menu(const std::vector<std::string>& entries) {
    menu_ = entries;
    show_menu(menu_);
}

std::string Runtime::queued_selection() const {
    if (queued_menus_.empty()) return {};
    const auto index = static_cast<std::size_t>(queued_menus_.front());
    return index < menu_.size() ? menu_[index] : std::string();
}

bool Runtime::menu_selection_queued(int index) const {
    return std::find(queued_menus_.begin(), queued_menus_.end(), index) != queued_menus_.end();
}

void Runtime::deliver_queued_selections(const std::function<void(int index, bool ran)>& after_each) {
    while (!queued_menus_.empty()) {
        const int index = queued_menus_.front();
        queued_menus_.pop_front();
        const bool ran = deliver_menu_selection(index);
        if (after_each) after_each(index, ran);
    }
}

bool Runtime::deliver_menu_selection(int index) {
    if (!menu_handler_ || menu_depth_ >= max_menu_depth) return false;
    // Left on every way out: closing the window unwinds through here.
    struct Nesting {
        int& depth;
        explicit Nesting(int& d) : depth(++d) {}
        ~Nesting() { --depth; }
    } nesting(menu_depth_);
    menu_handler_(index);
    return true;
}

double Runtime::random() {
    // 53 random bits: uniform in [0, 1), never 1.
    return static_cast<double>(generator_() >> 11) * 0x1.0p-53;
}

void Runtime::seed_random(std::uint64_t seed) { generator_.seed(seed); }

Surface& Runtime::surface() { return *surface_; }
const Surface& Runtime::surface() const { return *surface_; }

int Runtime::screen_width() const { return surface_->width(); }
int Runtime::screen_height() const { return surface_->height(); }
void Runtime::set_background_colour(Colour c) {
    wanted_background_ = c;
    surface_->set_background_colour(shown(c));
}
void Runtime::clear_screen() { surface_->clear(); }
void Runtime::set_colour(Colour c) {
    wanted_colour_ = c;
    surface_->set_colour(shown(c));
}
void Runtime::set_second_colour(Colour c) {
    wanted_second_colour_ = c;
    surface_->set_second_colour(shown(c));
}
void Runtime::set_line_width(int pixels) { surface_->set_line_width(pixels); }
void Runtime::set_fill_style(int style) { surface_->set_fill_style(style); }
void Runtime::set_line_style(int) {}
void Runtime::set_font(FontFamily family, double size) { surface_->set_font(family, size); }
void Runtime::set_font_size(double size) { surface_->set_font_size(size); }
void Runtime::set_text_transparent(bool transparent) { surface_->set_text_transparent(transparent); }
void Runtime::line(double x1, double y1, double x2, double y2) { surface_->line(x1, y1, x2, y2); }
void Runtime::rectangle(double x1, double y1, double x2, double y2) { surface_->rectangle(x1, y1, x2, y2); }
void Runtime::filled_box(double x1, double y1, double x2, double y2) { surface_->filled_box(x1, y1, x2, y2); }
void Runtime::point(double x, double y) { surface_->point(x, y); }
void Runtime::graphics_text(double x, double y, const std::string& text) { surface_->graphics_text(x, y, text); }

std::string Runtime::asset_path(const std::string& file) const { return find_asset(program_directory(), file); }

bool Runtime::draw_picture(const std::string& file, int left, int top, int width, int height) {
    if (!decode_picture_) return false;
    const std::optional<std::string> bytes = read_asset_file(asset_path(file));
    if (!bytes) return false;
    std::optional<Image> picture;
    {
        const CleanVectorStateOnExit clean;  // the host's decoder may run vector code
        picture = decode_picture_(*bytes);
    }
    if (!picture || picture->empty()) return false;
    if (projector_colours()) darken_for_projector(*picture);
    surface_->draw_image(*picture, left, top, width, height);
    return true;
}

void Runtime::locate(double column, double row) { surface_->locate(column, row); }
void Runtime::print(const std::string& text) { surface_->print(text); }
void Runtime::print_line(const std::string& text) {
    surface_->print(text);
    surface_->new_line();
}
void Runtime::print_number(double value) { surface_->print(number_text(value)); }
int Runtime::cell_width() const { return surface_->cell_width(); }
int Runtime::cell_height() const { return surface_->cell_height(); }

Colour Runtime::shown(Colour c) const { return projector_colours() ? projector_colour(c) : c; }

void Runtime::set_projector_colours(bool on) {
    if (!extras_->switch_palette(on)) return;
    surface_->set_colour(shown(wanted_colour_));
    surface_->set_second_colour(shown(wanted_second_colour_));
    surface_->set_background_colour(shown(wanted_background_));
}

void Runtime::set_extras_host(ExtrasHost& host) { extras_->set_host(host); }
void Runtime::run_extra(Extra extra) { extras_->run(extra); }
void Runtime::set_extras_help(const std::string& page) { extras_->set_help(page); }
bool Runtime::projector_colours() const { return extras_->projector_colours(); }
bool Runtime::print_colours() const { return extras_->print_colours(); }
void Runtime::set_print_colours(bool on) { extras_->set_print_colours(on); }
void Runtime::show_status(const std::string& text) { extras_->show_status(text); }

void Runtime::describe_picture(const std::string& sentence) { surface_->describe_picture(sentence); }
void Runtime::announce(const std::function<std::string()>& text) { extras_->announce(text); }
std::string Runtime::screen_description() const { return describe_screen(surface_->reading(), surface_->text_grid()); }
const std::string& Runtime::status() const { return extras_->status(); }
void Runtime::set_passing_on(std::function<PassedOnValues()> provider) {
    extras_->set_passing_on(std::move(provider));
}
void Runtime::set_export(std::function<std::string()> provider) { extras_->set_export(std::move(provider)); }
const std::function<std::string()>& Runtime::exporter() const { return extras_->exporter(); }
void Runtime::set_menu_checked(int index, bool checked) { extras_->set_menu_checked(index, checked); }
bool Runtime::menu_checked(int index) const { return extras_->menu_checked(index); }

}  // namespace rt
