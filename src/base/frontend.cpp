#include "base/frontend.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vortimax {

namespace {

struct ButtonSet {
    MessageButtons buttons;
    std::array<std::optional<MessageAnswer>, 3> answers; // first one is the default
};

constexpr std::array kButtonSets{
    ButtonSet{MessageButtons::Ok, {MessageAnswer::Ok, std::nullopt, std::nullopt}},
    ButtonSet{MessageButtons::OkCancel, {MessageAnswer::Ok, MessageAnswer::Cancel, std::nullopt}},
    ButtonSet{MessageButtons::YesNo, {MessageAnswer::Yes, MessageAnswer::No, std::nullopt}},
    ButtonSet{MessageButtons::YesNoCancel,
              {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel}},
};

const ButtonSet& buttonSet(MessageButtons buttons) {
    for (const ButtonSet& set : kButtonSets) {
        if (set.buttons == buttons) {
            return set;
        }
    }
    return kButtonSets.front();
}

} // namespace

MessageAnswer defaultAnswer(MessageButtons buttons) {
    return *buttonSet(buttons).answers[0];
}

bool offersAnswer(MessageButtons buttons, MessageAnswer answer) {
    const auto& answers = buttonSet(buttons).answers;
    return std::find(answers.begin(), answers.end(), answer) != answers.end();
}

Progress::Progress(std::atomic<bool>& abortFlag, Listener listener)
    : abortFlag_(abortFlag), listener_(std::move(listener)) {}

void Progress::setText(std::string_view text) {
    {
        std::lock_guard lock(mutex_);
        text_.assign(text);
    }
    report();
}

void Progress::setFraction(double fraction) {
    fraction_.store(std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0));
    report();
}

std::string Progress::text() const {
    std::lock_guard lock(mutex_);
    return text_;
}

void Progress::report() {
    if (listener_) {
        listener_(text(), fraction());
    }
}

} // namespace vortimax
