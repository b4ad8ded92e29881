// Until the application icon's own drawing is part of the tree, the icon
// set shows the status item's drawing, dark on a light rounded tile. The
// real drawing replaces this file with the same function.
#include <algorithm>

#include "tools/icon/AppIcon.h"
#include "ui/StatusIcon.h"

namespace icon {

namespace {

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -1.5708, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, 1.5708);
    cairo_arc(cr, x + r, y + h - r, r, 1.5708, 3.14159);
    cairo_arc(cr, x + r, y + r, r, 3.14159, 4.71239);
    cairo_close_path(cr);
}

}  // namespace

void paintAppIcon(cairo_t* cr, int pixels) {
    const double size = pixels;
    // The system's icon grid: the tile is 80 % of the canvas, centred.
    const double inset = size * 0.1;
    const double tile = size - 2 * inset;
    roundedRect(cr, inset, inset, tile, tile, tile * 0.225);
    cairo_set_source_rgb(cr, 0.96, 0.96, 0.97);
    cairo_fill(cr);

    const kit::ImageRef glyph = durazizi::StatusIcon::image();
    const kit::VectorDrawing& drawing = *glyph->drawing();
    const double scale = tile * 0.7 / std::max(drawing.canvas.width, drawing.canvas.height);
    cairo_save(cr);
    cairo_translate(cr, size / 2 - drawing.canvas.width * scale / 2, size / 2 + drawing.canvas.height * scale / 2);
    cairo_scale(cr, scale, -scale);   // the drawing's y grows upward
    cairo_set_source_rgb(cr, 0.13, 0.13, 0.15);
    for (const kit::VectorShape& shape : drawing.shapes) {
        if (shape.kind == kit::VectorShape::Kind::RoundedRect) {
            roundedRect(cr, shape.rect.minX(), shape.rect.minY(), shape.rect.width(), shape.rect.height(),
                        shape.cornerRadius);
        } else if (shape.points.size() > 1) {
            cairo_move_to(cr, shape.points[0].x, shape.points[0].y);
            for (std::size_t i = 1; i < shape.points.size(); ++i) cairo_line_to(cr, shape.points[i].x, shape.points[i].y);
            cairo_close_path(cr);
        }
        if (shape.paint == kit::VectorShape::Paint::Stroke) {
            cairo_set_line_width(cr, shape.lineWidth);
            cairo_stroke(cr);
        } else {
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

}  // namespace icon
