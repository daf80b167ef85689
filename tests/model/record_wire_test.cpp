#include "model/record_wire.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>

using namespace vortimax;

namespace {

TEST(RecordWire, FieldsSitAtTheirBytePositions) {
    auto record = createRecord(kTypeMandel, 3, RecordCreationContext{});
    record->name = "Magnet";
    record->width = 320;
    record->height = 256;
    record->palOffset = 12.5;
    record->palNameAnim = std::string(40, 'p'); // longer than its 32-byte field
    record->comment = "not sent";
    RecordWireBlock block = toWireBlock(*record);
    EXPECT_EQ(loadInt(block.data() + 96), 3);  // type
    EXPECT_EQ(loadInt(block.data() + 100), 3); // subtype
    EXPECT_EQ(loadInt(block.data() + 104), 320);
    EXPECT_EQ(loadInt(block.data() + 108), 256);
    EXPECT_EQ(loadReal(block.data() + 80), 10.0);
    EXPECT_EQ(loadReal(block.data() + 272), 12.5);
    EXPECT_EQ(loadText(block.data() + 16, 64), "Magnet");
    EXPECT_EQ(loadText(block.data() + 208, 64), "Unnamed");
    EXPECT_EQ(loadText(block.data() + 280, 32), std::string(31, 'p'));
    EXPECT_EQ(loadInt(block.data() + 340), 0); // comment reference
    EXPECT_EQ(loadInt(block.data() + 2724), 0);
    EXPECT_TRUE(
        std::equal(record->paramBlock.begin(), record->paramBlock.end(), block.begin() + 380));
    EXPECT_TRUE(std::equal(record->settings3DBlock.begin(), record->settings3DBlock.end(),
                           block.begin() + 2100));
    EXPECT_EQ(loadBigFixed(block.data() + 380).toText(), "-4.0");
}

TEST(RecordWire, RoundTripKeepsEveryValue) {
    auto source = createRecord(kTypeFormula, 0, RecordCreationContext{});
    source->name = "Sent";
    source->dims = 1;
    source->colCycSpeed = 7.25;
    source->palName = "Fire";
    source->displayDepth = 24;
    source->networkGeneration = 0xFFFFFFF0u;
    source->calcTime = 1234;
    source->params().setText("FormulaName", "Mandel3");
    source->params().setBigFixed("Er",
                                 BigFixed::fromText("-1.000000000000000000000000001", 40).value());
    RecordWireBlock block = toWireBlock(*source);
    auto target = createRecord(kTypeMandel, 0, RecordCreationContext{});
    target->comment = "kept";
    target->windowOpen = 1;
    ASSERT_TRUE(fromWireBlock(block, *target));
    // The target started as another type: an equal block again means every value came over.
    EXPECT_EQ(target->params().bigFixed("Er").toText(), "-1.000000000000000000000000001");
    EXPECT_EQ(target->comment, "kept");
    EXPECT_EQ(target->windowOpen, 1);
    target->windowOpen = 0; // the sender's window state is its own
    EXPECT_EQ(toWireBlock(*target), block);
}

TEST(RecordWire, HostileBlocksAreBoundedOrRefused) {
    auto target = createRecord(kTypeMandel, 0, RecordCreationContext{});
    RecordWireBlock block = toWireBlock(*target);
    std::fill(block.begin() + 16, block.begin() + 80, 'A'); // name without terminator
    ASSERT_TRUE(fromWireBlock(block, *target));
    EXPECT_EQ(target->name, std::string(63, 'A'));
    std::vector<std::uint8_t> shortBlock(block.begin(), block.end() - 1);
    target->name = "unchanged";
    EXPECT_FALSE(fromWireBlock(shortBlock, *target));
    EXPECT_EQ(target->name, "unchanged");
}

} // namespace
