#include "app/application.h"
#include "model/fractal_view.h"
#include "render/area/area.h"

#include <cmath>
#include <mutex>

namespace vortimax {

void Application::onTimer(int id) {
    switch (id) {
    case TimerManager::kProgressTimer:
        refreshStatusWindow();
        break;
    case kMainTimer:
        runMainTimer();
        break;
    case ColourCycling::kTimerId:
        followColourCycling();
        if (cycling_.tick(currentFractal(), *palettes_))
            notify(ApplicationChange::Status);
        break;
    default:
        break;
    }
}

void Application::runDueTimers(TimerManager::Clock::time_point now) {
    for (int id : timers_->due(now))
        onTimer(id);
}

// The duties of the 100 ms timer, in their order.
void Application::runMainTimer() {
    if (status_.tick())
        notify(ApplicationChange::Status);
    if (FractalRecord* record = std::exchange(queuedOpen_, nullptr))
        openView(*record, true, *environment_);
    applyPendingResize();
    compounds_.recalculateWaiting(*environment_);
    refreshProgress();
    if (network_ != nullptr && network_->followConnection())
        notify(ApplicationChange::Menus);
    if (animation_ != nullptr) {
        std::unique_lock step(animationLock_, std::try_to_lock);
        if (step.owns_lock())
            animation_->saveFinishedFrame();
    }
}

// Windows resized by dragging (or by Tile and Cascade) get their new images once the
// mouse button is up; a window in scroll-bar mode only shows another part of the same
// image.
void Application::applyPendingResize() {
    if (pendingResizes_.empty() || mouseButtonDown_)
        return;
    bool resized = false;
    for (const PendingResize& resize : std::exchange(pendingResizes_, {})) {
        FractalRecord& record = *resize.record;
        if (record.view == nullptr || record.scrollbar != 0)
            continue;
        const ImageSize size = windowSizeRule(resize.width, resize.height);
        resizeView(record, size.width, size.height, false, *environment_);
        resized = true;
    }
    if (resized)
        notify(ApplicationChange::FractalWindow);
}

namespace {
int percentOf(double progress) {
    return static_cast<int>(std::clamp(progress, 0.0, 1.0) * 100.0);
}

// Runs of the 100 ms timer the status bar shows why a calculation failed.
constexpr int kFailureStatusTicks = 50;
constexpr double kTitleOutdated = -4321.0;
} // namespace

// Window titles follow the progress of their fractal; the status bar shows the current
// fractal's progress, zoom and size.
void Application::refreshProgress() {
    for (auto& view : environment_->openViews)
        refreshTitle(*view);
    StatusFields fields = statusFields_;
    const FractalRecord* current = currentFractal();
    if (current != nullptr && current->view != nullptr) {
        fields.progress = progressStatus(percentOf(current->view->progress()));
        const FractalTypeInfo* type = fractalType(current->type);
        fields.zoom = type != nullptr && type->hasArea
                          ? zoomStatus(type->registryName, zoomCount(*current))
                          : std::string();
        fields.size = sizeStatus(current->width, current->height);
    } else {
        fields.progress.clear();
        fields.zoom.clear();
        fields.size.clear();
    }
    if (fields.progress != statusFields_.progress || fields.zoom != statusFields_.zoom ||
        fields.size != statusFields_.size) {
        statusFields_ = std::move(fields);
        notify(ApplicationChange::Status);
    }
}

// The title shows the progress, or that the calculation failed. The reason of a failure
// goes to the message window and the status bar once, when it is first seen.
void Application::refreshTitle(FractalView& view) {
    const CalculationFailure failure = view.failure();
    const std::string& name = view.record().name;
    if (failure.serial != view.shownFailureSerial) {
        view.shownFailureSerial = failure.serial;
        view.shownProgress = kTitleOutdated;
        if (failure.failed) {
            const std::string line = notCalculatedMessage(name, failure.reason);
            appFrontend_.addMessage(line);
            appFrontend_.setStatus(line, kFailureStatusTicks);
            notify(ApplicationChange::Status);
        }
    }
    const double progress = view.progress();
    if (progress == view.shownProgress)
        return;
    view.shownProgress = progress;
    if (!environment_->hooks.setTitle)
        return;
    std::optional<std::string> title;
    if (failure.failed)
        title = notCalculatedTitle(name);
    else if (animation_ != nullptr && animation_->owns(view.record()))
        title = animation_->frameTitle(percentOf(progress));
    environment_->hooks.setTitle(view, title.value_or(progressTitle(name, percentOf(progress))));
}

// Timer 9999: time spent and share done of the current fractal's calculation.
void Application::refreshStatusWindow() {
    const FractalRecord* current = currentFractal();
    const FractalView* view = current != nullptr ? current->view : nullptr;
    std::int64_t seconds = 0;
    std::optional<double> percent;
    if (view == nullptr) {
        calculationStart_.reset();
    } else if (view->failure().failed) {
        calculationStart_.reset();
        percent = 0.0;
    } else if (view->finished()) {
        calculationStart_.reset();
        seconds = current->calcTime / 1000;
        percent = 100.0;
    } else {
        const auto now = std::chrono::steady_clock::now();
        if (!calculationStart_ || timedFractal_ != current)
            calculationStart_ = now;
        seconds =
            std::chrono::duration_cast<std::chrono::seconds>(now - *calculationStart_).count();
        percent = view->progress() * 100.0;
    }
    timedFractal_ = current;
    std::string elapsed = formatElapsed(seconds);
    std::string done = formatPercentDone(percent);
    if (elapsed != statusFields_.elapsed || done != statusFields_.percent) {
        statusFields_.elapsed = std::move(elapsed);
        statusFields_.percent = std::move(done);
        notify(ApplicationChange::Status);
    }
}

} // namespace vortimax
