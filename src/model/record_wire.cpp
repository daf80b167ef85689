#include "model/record_wire.h"

#include <algorithm>

namespace vortimax {

namespace {

// The 32-bit header fields, in one table for both directions.
struct IntField {
    std::size_t offset;
    std::int32_t FractalRecord::*member;
};
struct UIntField {
    std::size_t offset;
    std::uint32_t FractalRecord::*member;
};
struct RealField {
    std::size_t offset;
    double FractalRecord::*member;
};
struct TextField {
    std::size_t offset;
    std::size_t size;
    std::string FractalRecord::*member;
};

constexpr IntField kIntFields[] = {
    {wire::kWidth, &FractalRecord::width},
    {wire::kHeight, &FractalRecord::height},
    {wire::kDims, &FractalRecord::dims},
    {wire::kColCyc, &FractalRecord::colCyc},
    {wire::kColCycUp, &FractalRecord::colCycUp},
    {wire::kScrollbar, &FractalRecord::scrollbar},
    {wire::kImageFilter, &FractalRecord::imageFilter},
    {wire::kWinWidth, &FractalRecord::winWidth},
    {wire::kWinHeight, &FractalRecord::winHeight},
    {wire::kDisplayDepth, &FractalRecord::displayDepth},
    {wire::kTrueColourOn8Bit, &FractalRecord::trueColourOn8Bit},
    {wire::kStaticImage, &FractalRecord::staticImage},
    {wire::kNetworkMode, &FractalRecord::networkMode},
};

constexpr UIntField kUIntFields[] = {
    {wire::kEntryKind, &FractalRecord::entryKind},
    {wire::kType, &FractalRecord::type},
    {wire::kSubtype, &FractalRecord::subtype},
    {wire::kCalcTime, &FractalRecord::calcTime},
    {wire::kNetworkGeneration, &FractalRecord::networkGeneration},
};

constexpr RealField kRealFields[] = {
    {wire::kNumFrames, &FractalRecord::numFrames},
    {wire::kColCycSpeed, &FractalRecord::colCycSpeed},
    {wire::kColCycStep, &FractalRecord::colCycStep},
    {wire::kPalOffset, &FractalRecord::palOffset},
    {wire::kPalOffsetAnim, &FractalRecord::palOffsetAnim},
};

constexpr TextField kTextFields[] = {
    {wire::kName, wire::kNameSize, &FractalRecord::name},
    {wire::kPalName, 64, &FractalRecord::palName},
    {wire::kSecondName, 64, &FractalRecord::secondName},
    {wire::kPalNameAnim, wire::kPalNameAnimSize, &FractalRecord::palNameAnim},
};

} // namespace

RecordWireBlock toWireBlock(const FractalRecord& record) {
    RecordWireBlock block{};
    std::uint8_t* out = block.data();
    for (const auto& field : kIntFields)
        storeInt(out + field.offset, record.*field.member);
    for (const auto& field : kUIntFields)
        storeInt(out + field.offset, static_cast<std::int32_t>(record.*field.member));
    for (const auto& field : kRealFields)
        storeReal(out + field.offset, record.*field.member);
    for (const auto& field : kTextFields)
        storeText(out + field.offset, field.size, record.*field.member);
    // Local state of the sender: written for completeness, never read back.
    storeInt(out + wire::kResizeLock, record.resizeLock.load());
    storeInt(out + wire::kWindowOpen, record.windowOpen);
    std::copy(record.paramBlock.begin(), record.paramBlock.end(), out + wire::kParamBlock);
    std::copy(record.settings3DBlock.begin(), record.settings3DBlock.end(),
              out + wire::kSettings3D);
    return block;
}

bool fromWireBlock(std::span<const std::uint8_t> block, FractalRecord& record) {
    if (block.size() != kRecordWireSize)
        return false;
    const std::uint8_t* in = block.data();
    for (const auto& field : kIntFields)
        record.*field.member = loadInt(in + field.offset);
    for (const auto& field : kUIntFields)
        record.*field.member = static_cast<std::uint32_t>(loadInt(in + field.offset));
    for (const auto& field : kRealFields)
        record.*field.member = loadReal(in + field.offset);
    for (const auto& field : kTextFields)
        record.*field.member = loadText(in + field.offset, field.size - 1);
    std::copy_n(in + wire::kParamBlock, kParamBlockSize, record.paramBlock.begin());
    std::copy_n(in + wire::kSettings3D, kSettings3DSize, record.settings3DBlock.begin());
    return true;
}

} // namespace vortimax
