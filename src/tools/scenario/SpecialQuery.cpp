#include <ostream>
#include <utility>

#include "ax/Geometry.h"
#include "platform/Platform.h"
#include "specials/SpecialPanel.h"
#include "tools/scenario/CalendarCommands.h"
#include "tools/scenario/Commands.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

// The fields of `query special`, as JSON texts, in the order they print.
struct SpecialFields {
    std::string key = json::null();
    std::string frame = json::null();
    std::string title = json::null();
    std::string subtitle = json::null();
    std::string playing = json::null();
    std::string rows = json::array({});
    std::string artwork = json::null();
    std::string playSymbol = json::null();
    std::string header = json::null();
    std::string notice = json::null();
};

const char* bundleOf(durazizi::MediaApp app) {
    return app == durazizi::MediaApp::music ? "com.apple.Music" : "com.spotify.client";
}

// Whether the image shown is the player's own icon, as the workspace hands it out.
bool isPlayerIcon(const kit::ImageRef& image, durazizi::MediaApp app) {
    for (const auto& running : platform::current().workspace().runningApplicationsWithBundleIdentifier(bundleOf(app))) {
        if (running->icon() == image) return true;
    }
    return false;
}

void readMedia(const durazizi::MediaContentView& view, SpecialFields& fields) {
    fields.key = json::string("media:" + std::string(durazizi::rawValue(view.app())));
    fields.title = json::string(view.titleLabel().text());
    fields.subtitle = json::string(view.artistLabel().text());
    const kit::ImageRef& symbol = view.playPauseButton().image();
    if (symbol) {
        fields.playSymbol = json::string(symbol->symbolName());
        // The button shows what a click does: pause while playing.
        if (symbol->symbolName() == "pause.fill") fields.playing = json::boolean(true);
        if (symbol->symbolName() == "play.fill") fields.playing = json::boolean(false);
    }
    if (const kit::ImageRef& art = view.artwork().image(); art && !art->isEmpty()) {
        fields.artwork = json::string(isPlayerIcon(art, view.app()) ? "icon" : "image");
    }
}

// The calendar's list as shown: the header, one row per event and the notice.
void readCalendar(const durazizi::CalendarContentView& list, SpecialFields& fields) {
    fields.key = json::string("calendar");
    CalendarPanelFields shown = calendarPanelFields(list);
    fields.header = std::move(shown.header);
    fields.rows = std::move(shown.rows);
    fields.notice = std::move(shown.notice);
}

}  // namespace

Action parseSpecialQuery(Args&) {
    return [](World& world, std::ostream& out) -> Result {
        const durazizi::SpecialController* special = world.special();
        const platform::Panel* panel = special ? special->panel().get() : nullptr;
        const bool visible = panel && panel->isVisible();
        SpecialFields fields;
        if (visible) {
            fields.frame = json::rect(durazizi::Geo::toTopLeft(panel->frame()));
            const durazizi::SpecialContent* content = special->content().get();
            if (auto media = dynamic_cast<const durazizi::MediaContentView*>(content)) readMedia(*media, fields);
            if (auto calendar = dynamic_cast<const durazizi::CalendarContentView*>(content)) {
                readCalendar(*calendar, fields);
            }
        }
        out << json::Object()
                   .add("visible", json::boolean(visible))
                   .add("key", fields.key)
                   .add("frame", fields.frame)
                   .add("title", fields.title)
                   .add("subtitle", fields.subtitle)
                   .add("playing", fields.playing)
                   .add("rows", fields.rows)
                   .add("artwork", fields.artwork)
                   .add("playSymbol", fields.playSymbol)
                   .add("header", fields.header)
                   .add("notice", fields.notice)
                   .add("alpha", json::number(panel ? panel->alphaValue() : 0))
                   .str()
            << '\n';
        return std::nullopt;
    };
}

}  // namespace scenario
