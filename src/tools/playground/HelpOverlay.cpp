#include "tools/playground/HelpOverlay.h"

#include <cmath>
#include <memory>

#include <cairo.h>
#include <glib.h>
#include <pango/pangocairo.h>

namespace playground {

namespace {

// In points, like everything on the simulated display.
constexpr double kLeft = 24;
constexpr double kTop = 40;     // below the 24-point menu bar
constexpr double kWidth = 600;
constexpr double kPadding = 18;
constexpr double kCorner = 12;

std::string escaped(const std::string& text) {
    std::unique_ptr<char, decltype(&g_free)> markup(g_markup_escape_text(text.c_str(), -1), &g_free);
    return markup.get();
}

const char* onOff(bool on) { return on ? "<b>on</b>" : "<b>off</b>"; }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

}  // namespace

std::string helpMarkup(const HelpState& state) {
    std::string m;
    m += "<span size='large'><b>Durazizi playground</b></span>\n\n";
    m += "<b>Try</b>\n";
    m += "\u2022 Rest the pointer on the Editor, Browser, Notes or Terminal icon in the Dock: "
         "its windows appear as thumbnails above it, the triangle below the panel pointing at the icon.\n";
    m += "\u2022 Click the icon under a panel: the application comes forward and the panel goes until "
         "the pointer leaves the icon.\n";
    m += "\u2022 Move onto a thumbnail to see its close box; click the box to close that window, "
         "click the thumbnail to bring the window forward.\n";
    m += "\u2022 The Browser has a minimized page: its thumbnail is dimmed and badged.\n";
    m += "\u2022 Notes has a second note on another Space: its tile says \"Other Space\", and clicking it "
         "switches there. Ctrl+\u2190 and Ctrl+\u2192 move between Spaces.\n";
    m += "\u2022 Music, Spotify and Calendar have panels of their own.\n";
    m += "\u2022 Click Durazizi's icon in the menu bar for its panel and settings (Preferences: "
         "\"Hide when a Dock item is clicked\", \"Draw triangle below bubble\").\n";
    m += "\u2022 Drag a window by its title bar against a screen edge or corner: the overlay shows where "
         "it goes, and letting go tiles it.\n";
    m += "\u2022 Hold Ctrl+Alt and drag anywhere in a window to move it; add Shift to resize it.\n";
    m += "\u2022 Ctrl+Alt with an arrow key tiles the front window; scroll up on a title bar to "
         "maximize, down to restore.\n\n";
    m += "<b>Keys</b>\n";
    m += "F1\tthis help\n";
    m += std::string("F2\tAccessibility permission (now ") + onOff(state.accessibility) + ")\n";
    m += std::string("F3\tScreen recording permission (now ") + onOff(state.screenRecording) + ")\n";
    m += std::string("F4\tdark appearance (now ") + onOff(state.dark) + ")\n";
    m += std::string("F5\tstart Durazizi again") + (state.duraziziRunning ? "" : " (<b>it has quit</b>)") + "\n";
    m += "Ctrl+\u2190 Ctrl+\u2192\tthe Space to the left or right\n";
    m += "Esc\tquit the playground\n\n";
    m += "<small>The mouse, the keys (control, option = Alt, shift, command = Super) and the scroll wheel "
         "drive the simulated desktop.\n";
    if (state.fresh) {
        m += "A fresh account: nothing you change is kept.";
    } else {
        m += "Settings are kept in " + escaped(state.home) + "; --fresh starts from a new account.";
    }
    m += "</small>";
    return m;
}

void drawHelp(render::Frame& frame, double scale, const HelpState& state) {
    if (frame.width <= 0 || frame.height <= 0) return;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(frame.pixels.data()), CAIRO_FORMAT_ARGB32, frame.width, frame.height,
        frame.width * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);

    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("Sans 11");
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_width(layout, static_cast<int>((kWidth - 2 * kPadding) * PANGO_SCALE));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    // A tab stop wide enough for "Esc" and "F1", so the key column lines up.
    PangoTabArray* tabs = pango_tab_array_new_with_positions(1, TRUE, PANGO_TAB_LEFT, 48);
    pango_layout_set_tabs(layout, tabs);
    pango_tab_array_free(tabs);
    const std::string markup = helpMarkup(state);
    pango_layout_set_markup(layout, markup.c_str(), -1);
    int textWidth = 0;
    int textHeight = 0;
    pango_layout_get_pixel_size(layout, &textWidth, &textHeight);

    roundedRect(cr, kLeft, kTop, kWidth, textHeight + 2 * kPadding, kCorner);
    cairo_set_source_rgba(cr, 0.08, 0.08, 0.1, 0.88);
    cairo_fill(cr);
    cairo_move_to(cr, kLeft + kPadding, kTop + kPadding);
    cairo_set_source_rgb(cr, 1, 1, 1);
    pango_cairo_show_layout(cr, layout);

    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}

}  // namespace playground
