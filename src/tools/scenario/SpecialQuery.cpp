#include <ostream>
#include <utility>

#include "platform/Platform.h"
#include "sim/SimScripting.h"
#include "specials/CalendarContentView.h"
#include "specials/MediaContentView.h"
#include "tools/scenario/CalendarCommands.h"
#include "tools/scenario/Commands.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/PanelOutline.h"
#include "tools/scenario/ShownPanels.h"
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

const char* bundleOf(const std::string& player) {
    return player == "Music" ? "com.apple.Music" : "com.spotify.client";
}

// Whether the image shown is a player's own icon, as the workspace hands it
// out: the addressed player's when one was asked, else either player's.
bool isPlayerIcon(const kit::ImageRef& image, const std::optional<std::string>& player) {
    for (const char* name : {"Music", "Spotify"}) {
        if (player && *player != name) continue;
        auto& workspace = platform::current().workspace();
        for (const auto& running : workspace.runningApplicationsWithBundleIdentifier(bundleOf(name)))
            if (running->icon() == image) return true;
    }
    return false;
}

// The now-playing panel's player is the one its questions went to: the
// player last asked what it plays, as the players' side recorded it.
void readMedia(World& world, const durazizi::MediaContentView& view, SpecialFields& fields) {
    const std::optional<std::string> player = world.desktop().players().lastAskedNowPlaying();
    if (player) fields.key = json::string("media:" + *player);
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
        fields.artwork = json::string(isPlayerIcon(art, player) ? "icon" : "image");
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
        const auto special = findSpecial(world);
        const bool visible = special && special->window.visible;
        SpecialFields fields;
        std::optional<DrawnPointer> pointer;
        if (visible) {
            // The panel is its body; a pointer drawn below it is told apart.
            pointer = drawnPointer(special->window);
            fields.frame = json::rect(bodyFrame(special->window, pointer));
            const durazizi::SpecialContent* content = special->content.get();
            if (auto media = dynamic_cast<const durazizi::MediaContentView*>(content)) readMedia(world, *media, fields);
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
                   .add("alpha", json::number(special ? special->window.alpha : 0))
                   .add("triangle", pointerJson(pointer, visible))
                   .str()
            << '\n';
        return std::nullopt;
    };
}

}  // namespace scenario
