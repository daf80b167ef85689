#include "app/application.h"
#include "model/fractal_view.h"

namespace vortimax {

namespace closing_texts {
constexpr std::string_view kAbortingAnimationCaption = "Aborting animation";
constexpr std::string_view kAbortingAnimationText =
    "This window belongs to the currently running animation.\n"
    "Are you sure you want to close it and thus to abort the animation?";
constexpr std::string_view kExitingCaption = "Exiting program";
constexpr std::string_view kExitingText =
    "You choosed to close this application.\nAre you sure you want to exit Vortimax?";
} // namespace closing_texts

bool Application::confirmQuit() {
    if (!settings_.confirm(Confirmation::End))
        return true;
    return appFrontend_.messageBox(closing_texts::kExitingCaption, closing_texts::kExitingText,
                                   MessageButtons::YesNo,
                                   MessageIcon::Question) == MessageAnswer::Yes;
}

bool Application::closeFractalWindow(FractalRecord& record) {
    if (animation_ != nullptr && animation_->isRunning() && animation_->owns(record)) {
        MessageAnswer answer = appFrontend_.messageBox(
            closing_texts::kAbortingAnimationCaption, closing_texts::kAbortingAnimationText,
            MessageButtons::YesNo, MessageIcon::Question);
        if (answer != MessageAnswer::Yes)
            return false;
        {
            std::lock_guard lock(animationLock_);
            animation_->abort();
        }
        forgetRecord(record);
        closeView(record, false, *environment_);
    } else {
        if (!closeView(record, true, *environment_))
            return false;
        forgetRecord(record);
    }
    notify(ApplicationChange::Menus);
    return true;
}

// The end of the program, in a fixed order: nothing running is left behind before the
// configuration is written and the data freed.
void Application::shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    quiet_ = true;
    if (network_ != nullptr) {
        if (network_->isConnectedToMaster())
            network_->disconnectFromMaster();
        if (network_->isMaster())
            network_->stopMaster();
    }
    if (animation_ != nullptr && animation_->isRunning()) {
        std::lock_guard lock(animationLock_);
        animation_->abort();
    }
    // After a failed start the settings were never (fully) read: nothing is written back.
    if (settings_.autoSave && started_)
        saveConfiguration();
    settings_.defaultComment.reset();
    queuedOpen_ = nullptr;
    pendingResizes_.clear();
    timedFractal_ = nullptr;
    // Deleting the folders closes every open view (workers stopped) without asking.
    workspace_->deleteAll();
    while (!environment_->openViews.empty())
        closeView(environment_->openViews.back()->record(), false, *environment_);
    messages_.clear();
    timers_.reset();
}

} // namespace vortimax
