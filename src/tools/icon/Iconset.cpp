#include <cairo.h>

#include <filesystem>
#include <memory>
#include <system_error>

#include "render/AppIconRaster.h"
#include "tools/icon/AppIcon.h"

namespace icon {

const std::vector<IconsetEntry>& iconsetEntries() {
    static const std::vector<IconsetEntry> entries = [] {
        std::vector<IconsetEntry> out;
        for (int points : {16, 32, 128, 256, 512}) {
            const std::string size = std::to_string(points) + "x" + std::to_string(points);
            out.push_back({"icon_" + size + ".png", points});
            out.push_back({"icon_" + size + "@2x.png", points * 2});
        }
        return out;
    }();
    return entries;
}

std::string writeIconset(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) return "cannot make the folder " + folder;
    for (const IconsetEntry& entry : iconsetEntries()) {
        std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, entry.pixels, entry.pixels), cairo_surface_destroy);
        std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), cairo_destroy);
        render::drawDuraziziIcon(cr.get(), entry.pixels);
        cairo_surface_flush(surface.get());
        const std::string path = (std::filesystem::path(folder) / entry.file).string();
        if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
            return "cannot write " + path;
    }
    return {};
}

}  // namespace icon
