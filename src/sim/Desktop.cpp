#include "sim/Desktop.h"

#include "sim/SimFiles.h"

namespace sim {

Desktop::Desktop() : files_(std::make_shared<SimFiles>()) {
    // In the order they hear of the process ending or starting: its queued
    // work stops first, then its windows go, the pointer lets go of them, and
    // its taps and monitors go.
    services_ = {&runLoop_, &windowServer_, &input_, &eventTaps_, &eventMonitors_, &application_,
                 &screens_, &processes_, &windows_, &spaces_, &dock_, &time_, &accessibility_, &callouts_,
                 &appearance_, &menuBar_};
    graveyard_.watchCallbacks([this](bool began) {
        if (began) callouts_.began();
        else callouts_.ended();
    });
    // Window > Close and Window > Minimize go down the responder chain to the key window.
    application_.setWindowActionHandler([this](const std::string& selector) {
        std::shared_ptr<SimWindow> key = windowServer_.keyWindow();
        if (!key) return;
        if (selector == "performClose:") key->performClose();
        else if (selector == "performMiniaturize:") key->miniaturize();
    });
    input_.setMenuKeys([this](const std::string& characters, platform::CGEventFlags flags) {
        return application_.performKeyEquivalent(characters, flags);
    });
    input_.setStatusBar([this](kit::Point topLeft) {
        std::optional<kit::Rect> item = application_.statusItemFrame();
        if (!item || !item->cgContains(topLeft)) return false;
        application_.clickStatusItem();
        return true;
    });
}

Desktop::~Desktop() {
    // Background work may still call into the desktop: let it finish first,
    // waking scripts that wait on a player that does not answer.
    scripting_.releaseAll();
    runLoop_.shutdown();
    windowServer_.endProcess();
    eventTaps_.endProcess();
    eventMonitors_.endProcess();
    application_.endProcess();
    graveyard_.watchCallbacks(nullptr);
    graveyard_.clear();
}

void Desktop::useDefaults(std::shared_ptr<platform::Defaults> defaults) {
    if (!defaults) return;
    graveyard_.bury(std::move(defaults_));
    defaults_ = std::move(defaults);
}

void Desktop::useLoginService(std::shared_ptr<platform::LoginService> service) {
    if (!service) return;
    graveyard_.bury(std::move(loginService_));
    loginService_ = std::move(service);
}

void Desktop::useFiles(std::shared_ptr<platform::Files> files) {
    if (!files) return;
    graveyard_.bury(std::move(files_));
    files_ = std::move(files);
}

void Desktop::useImages(std::shared_ptr<platform::Images> images) {
    if (!images) return;
    graveyard_.bury(std::move(images_));
    images_ = std::move(images);
}

}  // namespace sim
