#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DockWorld.h"
#include "linux/ImageDecoder.h"
#include "sim/SimScripting.h"
#include "sim/SimURLSession.h"
#include "specials/SpecialPanel.h"

namespace docktest {

// The Dock world with Music and Spotify in it, an image decoder, and the
// players' side of the scripts at hand.
class NowPlayingWorld : public DockWorld {
protected:
    NowPlayingWorld() {
        desktop().useImages(std::make_shared<linuxhost::ImageDecoder>());
        music = addApp("Music", "com.apple.Music");
        spotify = addApp("Spotify", "com.spotify.client");
    }

    sim::SimScripting& players() { return desktop().players(); }
    void setPlayer(const std::string& name, const std::string& state, sim::PlayerTrack track) {
        players().withPlayer(name, [&](sim::SimPlayer& p) {
            p.setState(state);
            p.setTrack(std::move(track));
        });
    }
    std::vector<std::string> sources() {
        std::vector<std::string> out;
        for (const auto& script : players().takeScripts()) out.push_back(script.source);
        return out;
    }
    static int count(const std::vector<std::string>& sources, const std::string& needle) {
        int n = 0;
        for (const auto& s : sources) n += s.find(needle) != std::string::npos;
        return n;
    }

    const durazizi::SpecialController& special() const { return hover_->special(); }
    const durazizi::MediaContentView* media() const {
        return dynamic_cast<const durazizi::MediaContentView*>(special().content().get());
    }
    bool specialVisible() const { return isVisible(special().panel()); }

    platform::pid_t music = 0;
    platform::pid_t spotify = 0;
};

}  // namespace docktest
