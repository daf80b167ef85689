#pragma once

#include <cstdint>

namespace vortimax {

// Values of a view's command word: the mailbox through which the main thread controls
// a worker. The main thread writes commands, the worker its acknowledgements.
namespace calc {
constexpr std::uint32_t kIdle = 0;       // worker: idle; acknowledges 4, 6, 7, 8, 9, 10
constexpr std::uint32_t kTerminate = 1;  // main
constexpr std::uint32_t kPause = 2;      // main
constexpr std::uint32_t kPaused = 3;     // worker: acknowledges 2; idle
constexpr std::uint32_t kCalculate = 4;  // main: from scratch (value buffer cleared first)
constexpr std::uint32_t kTerminated = 5; // worker: acknowledges 1
constexpr std::uint32_t kContinue = 6;   // main: finish if unfinished, then redo 3D
constexpr std::uint32_t kRedraw = 7;     // main: recolour from the stored values
constexpr std::uint32_t kStart = 8;      // main: sent once after the view is set up
constexpr std::uint32_t kResume = 9;     // main: calculate keeping calculated pixels
constexpr std::uint32_t kFilter = 10;    // main: apply the image filter only
} // namespace calc

} // namespace vortimax
