#include "model/undo_history.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vortimax;

namespace {

// The state with word i set, counting the parameter words first and then the 3D words.
UndoState changed(UndoState state, std::size_t i, std::uint32_t value) {
    std::uint8_t* block = i < kUndoParamWords ? state.params.data() : state.settings3D.data();
    storeInt(block + 4 * (i % kUndoParamWords), std::int32_t(value));
    return state;
}

// A history whose step n sets the first `words` words to n, keeping every state.
struct Steps {
    UndoHistory history;
    std::vector<UndoState> states{UndoState{}};

    void add(std::size_t words, std::size_t count = 1) {
        for (std::size_t step = 0; step < count; ++step) {
            UndoState next = states.back();
            for (std::size_t i = 0; i < words; ++i)
                next = changed(next, i, std::uint32_t(states.size()));
            ASSERT_TRUE(history.record(states.back(), next, std::to_string(states.size())));
            states.push_back(next);
        }
    }
    // Exactly steps first..last survive, and undoing each restores its predecessor.
    void expectSurvivors(std::size_t first, std::size_t last) {
        ASSERT_EQ(history.entryCount(), last - first + 1);
        UndoState state = states[last];
        for (std::size_t n = last; n >= first; --n) {
            EXPECT_EQ(history.undoLabel(), "Undo: " + std::to_string(n));
            ASSERT_TRUE(history.undo(state));
            ASSERT_EQ(state, states[n - 1]) << "undoing step " << n;
        }
        EXPECT_FALSE(history.undo(state));
    }
};

TEST(UndoHistory, UndoRestoresRedoReappliesAndANewChangeDropsRedo) {
    UndoHistory history;
    auto labels = [&] { return history.undoLabel() + " / " + history.redoLabel(); };
    UndoState before{{}, {}, 3, 1};
    UndoState after = changed(changed(before, 7, 42), kUndoParamWords + 2, 9);
    after.subtype = 4;
    ASSERT_TRUE(history.record(before, after, "Default values"));
    UndoState state = changed(after, 100, 5); // a word no step covers stays as it is
    UndoApplied undone = history.undo(state).value();
    EXPECT_TRUE(undone.paramsChanged && undone.settings3DChanged);
    EXPECT_EQ(state, changed(before, 100, 5));
    EXPECT_EQ(labels(), "Undo / Redo: Default values");
    ASSERT_TRUE(history.redo(state));
    EXPECT_EQ(state, changed(after, 100, 5));
    EXPECT_FALSE(history.redo(state));

    ASSERT_TRUE(history.undo(state));
    ASSERT_TRUE(history.record(state, changed(state, 0, 1), "")); // replaces the redo step
    EXPECT_EQ(history.entry(0), (UndoEntryPlacement{0, UndoHistory::entrySize(1)}));
    EXPECT_EQ(labels(), "Undo: Unknown / Redo");
    ASSERT_TRUE(history.undo(state));
    EXPECT_EQ(labels(), "Undo / Redo: Unknown");
    EXPECT_TRUE(history.record(state, changed(state, 0, 2), std::string(200, 'x')));
    EXPECT_EQ(history.undoLabel(), "Undo: " + std::string(kUndoMaxLabelLength, 'x'));
}

TEST(UndoHistory, EntriesOnlyForRealChangesAndRecalculationOnlyBeyond3D) {
    UndoHistory history;
    UndoState state;
    EXPECT_FALSE(history.record(state, state, "same"));
    EXPECT_EQ(history.entryCount(), 0u);
    // A type conversion may leave both blocks identical and must still be undoable.
    UndoState converted{{}, {}, 12, 0};
    ASSERT_TRUE(history.record(state, converted, "Type conversion"));
    EXPECT_EQ(history.entry(0).size, UndoHistory::entrySize(0));
    UndoApplied undone = history.undo(converted).value();
    EXPECT_EQ(converted, state);
    EXPECT_TRUE(!undone.paramsChanged && undone.needsRecalculation());

    UndoState moved = changed(state, kUndoParamWords + kUndo3DWords - 1, 1);
    ASSERT_TRUE(history.record(state, moved, "3D"));
    undone = history.undo(moved).value();
    EXPECT_TRUE(undone.settings3DChanged && !undone.needsRecalculation());
    EXPECT_EQ(moved, state);
    EXPECT_TRUE(history.record(state, UndoState{{}, {}, 0, 5}, "New formula")); // subtype only
}

TEST(UndoHistory, FullRingDropsTheOldestStepsAndWrapsOnlyWhenTheEndIsTooSmall) {
    Steps full;         // 1000-byte entries (100 words) fill the buffer exactly
    full.add(100, 101); // the last one wraps to the start, over step 1
    EXPECT_EQ(full.history.entry(99), (UndoEntryPlacement{0, 1000}));
    full.add(100); // ends exactly where the oldest begins: step 2 must go
    EXPECT_EQ(full.history.entry(99), (UndoEntryPlacement{1000, 1000}));
    full.add(kUndoParamWords + kUndo3DWords); // 4800 bytes: the gap needs steps 3 to 7
    EXPECT_EQ(full.history.entry(95), (UndoEntryPlacement{2000, 4800}));
    full.expectSurvivors(8, 103);

    Steps tail; // 1200-byte entries leave 400 unused bytes at the end
    tail.add(125, 84);
    EXPECT_EQ(tail.history.entry(81), (UndoEntryPlacement{98400, 1200}));
    EXPECT_EQ(tail.history.entry(82), (UndoEntryPlacement{0, 1200}));
    tail.expectSurvivors(2, 84);

    Steps undone; // steps 101..110 at the start, step 11 at 10000
    undone.add(100, 110);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(undone.history.undo(undone.states.back()));
    undone.states.resize(101);
    undone.add(kUndoParamWords); // behind step 100 there is no room; the start is free
    EXPECT_EQ(undone.history.entry(90), (UndoEntryPlacement{0, 3640}));
    undone.expectSurvivors(11, 101);
}

// Dropping takes back only the newest entry, as if it had never been recorded; every
// change of the history shows in its revision.
TEST(UndoHistory, DropNewestForgetsOnlyTheNewestEntry) {
    Steps steps;
    steps.add(1, 2);
    std::uint64_t revision = steps.history.revision();
    ASSERT_TRUE(steps.history.dropNewest());
    EXPECT_GT(steps.history.revision(), revision);
    EXPECT_EQ(steps.history.undoLabel(), "Undo: 1");
    EXPECT_FALSE(steps.history.canRedo());

    UndoState state = steps.states[1];
    ASSERT_TRUE(steps.history.undo(state));
    EXPECT_FALSE(steps.history.dropNewest()); // nothing current
    ASSERT_TRUE(steps.history.redo(state));
    ASSERT_TRUE(steps.history.record(state, changed(state, 3, 9), "2"));
    ASSERT_TRUE(steps.history.undo(state));
    revision = steps.history.revision();
    EXPECT_FALSE(steps.history.dropNewest()); // the current entry has a redo step after it
    EXPECT_EQ(steps.history.revision(), revision);
    EXPECT_EQ(steps.history.redoLabel(), "Redo: 2");
}

} // namespace
