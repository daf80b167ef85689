#include "model/undo_history.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vortimax;

namespace {

// Word i of a state, counting the parameter words first and then the 3D words.
void setWord(UndoState& state, std::size_t i, std::uint32_t value) {
    std::uint8_t* block = i < kUndoParamWords ? state.params.data() : state.settings3D.data();
    storeInt(block + 4 * (i % kUndoParamWords), std::int32_t(value));
}

// A history fed with steps that each set the first `words` words to the step number, so
// each step changes exactly that many words and every state is known.
struct Steps {
    UndoHistory history;
    std::vector<UndoState> states{UndoState{}};

    void add(std::size_t words, std::size_t count = 1) {
        for (std::size_t step = 0; step < count; ++step) {
            UndoState next = states.back();
            for (std::size_t i = 0; i < words; ++i)
                setWord(next, i, std::uint32_t(states.size()));
            std::string label = "step " + std::to_string(states.size());
            ASSERT_TRUE(history.record(states.back(), next, label));
            states.push_back(next);
        }
    }
    // Undoes every remaining step from the newest state and checks that exactly the
    // steps first..last survive, each restoring its predecessor.
    void expectSurvivors(std::size_t first, std::size_t last) {
        ASSERT_EQ(history.entryCount(), last - first + 1);
        UndoState state = states[last];
        for (std::size_t n = last; n >= first; --n) {
            EXPECT_EQ(history.undoLabel(), "Undo: step " + std::to_string(n));
            ASSERT_TRUE(history.undo(state));
            ASSERT_EQ(state, states[n - 1]) << "undoing step " << n;
        }
        EXPECT_FALSE(history.undo(state));
    }
};

UndoState changed(UndoState state, std::size_t word, std::uint32_t value) {
    setWord(state, word, value);
    return state;
}

TEST(UndoHistory, UndoRestoresRedoReappliesAndANewChangeDropsRedo) {
    UndoHistory history;
    UndoState before{{}, {}, 3, 1};
    UndoState after = changed(changed(before, 7, 42), kUndoParamWords + 2, 9);
    after.subtype = 4;
    ASSERT_TRUE(history.record(before, after, "Default values"));
    UndoState state = changed(after, 100, 5); // a word no step covers stays as it is
    auto undone = history.undo(state);
    ASSERT_TRUE(undone);
    EXPECT_TRUE(undone->paramsChanged && undone->settings3DChanged);
    EXPECT_EQ(state, changed(before, 100, 5));
    EXPECT_FALSE(history.undo(state));
    EXPECT_EQ(history.redoLabel(), "Redo: Default values");
    ASSERT_TRUE(history.redo(state));
    EXPECT_EQ(state, changed(after, 100, 5));
    EXPECT_FALSE(history.redo(state));

    ASSERT_TRUE(history.undo(state));
    ASSERT_TRUE(history.record(state, changed(state, 0, 1), ""));
    EXPECT_EQ(history.entry(0), (UndoEntryPlacement{0, UndoHistory::entrySize(1)}));
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoLabel(), "Undo: Unknown");
    ASSERT_TRUE(history.undo(state));
    EXPECT_EQ(history.undoLabel(), "Undo");
    EXPECT_EQ(history.redoLabel(), "Redo: Unknown");
    EXPECT_TRUE(history.record(state, changed(state, 0, 2), std::string(200, 'x')));
    EXPECT_EQ(history.undoLabel(), "Undo: " + std::string(kUndoMaxLabelLength, 'x'));
    history.clear();
    EXPECT_EQ(history.undoLabel() + history.redoLabel(), "UndoRedo");
}

TEST(UndoHistory, EntriesOnlyForRealChangesAndRecalculationOnlyBeyond3D) {
    UndoHistory history;
    UndoState state = changed(UndoState{}, 3, 8);
    EXPECT_FALSE(history.record(state, state, "same"));
    EXPECT_EQ(history.entryCount(), 0u);
    // A type conversion may leave both blocks identical and must still be undoable.
    UndoState converted = state;
    converted.type = 12;
    ASSERT_TRUE(history.record(state, converted, "Type conversion"));
    EXPECT_EQ(history.entry(0).size, UndoHistory::entrySize(0));
    auto undone = history.undo(converted);
    ASSERT_TRUE(undone);
    EXPECT_EQ(converted, state);
    EXPECT_TRUE(!undone->paramsChanged && undone->needsRecalculation());

    UndoState moved = changed(state, kUndoParamWords + kUndo3DWords - 1, 1);
    ASSERT_TRUE(history.record(state, moved, "3D"));
    undone = history.undo(moved);
    ASSERT_TRUE(undone);
    EXPECT_TRUE(undone->settings3DChanged && !undone->needsRecalculation());
    EXPECT_EQ(moved, state);
}

// 1000-byte entries (100 words) fill the buffer exactly.
TEST(UndoHistory, FullBufferDropsTheOldestStepsFirst) {
    Steps steps;
    steps.add(100, 101); // the last one wraps to the start, over step 1
    EXPECT_EQ(steps.history.entry(99), (UndoEntryPlacement{0, 1000}));
    steps.add(100); // ends exactly where the oldest begins: step 2 must go
    EXPECT_EQ(steps.history.entry(99), (UndoEntryPlacement{1000, 1000}));
    steps.add(kUndoParamWords + kUndo3DWords); // 4800 bytes: the gap needs steps 3 to 7
    EXPECT_EQ(steps.history.entry(95), (UndoEntryPlacement{2000, 4800}));
    steps.expectSurvivors(8, 103);
}

// 1200-byte entries leave 400 unused bytes at the end when wrapping.
TEST(UndoHistory, WrapsWhenTheEndOfTheBufferIsTooSmall) {
    Steps steps;
    steps.add(125, 84);
    EXPECT_EQ(steps.history.entry(81), (UndoEntryPlacement{98400, 1200}));
    EXPECT_EQ(steps.history.entry(82), (UndoEntryPlacement{0, 1200}));
    steps.expectSurvivors(2, 84);
}

TEST(UndoHistory, WrapKeepsTheOldestWhenTheStartHasRoom) {
    Steps steps;
    steps.add(100, 110); // steps 101..110 at the start, step 11 at 10000
    UndoState state = steps.states[110];
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(steps.history.undo(state));
    steps.states.resize(101);
    steps.add(kUndoParamWords); // behind step 100 there is no room; the start is free
    EXPECT_EQ(steps.history.entry(90), (UndoEntryPlacement{0, 3640}));
    steps.expectSurvivors(11, 101);
}

} // namespace
