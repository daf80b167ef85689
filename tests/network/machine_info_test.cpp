#include "model/param_block.h"
#include "network/machine_info.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

namespace vortimax::net {
namespace {

MachineInfo sample() {
    MachineInfo info;
    info.address = {192, 0, 2, 7};
    info.computerName = "render-node";
    info.systemDirectory = "/usr/lib";
    info.userName = "farm";
    info.screenWidth = 1920;
    info.screenHeight = 1080;
    info.bitsPerPixel = 24;
    info.osMajor = 6;
    info.osMinor = 1;
    info.build = 76;
    info.totalPhysical = 123456789;
    info.processorCount = 16;
    info.benchmarkMs = 3;
    info.processorType = 586;
    info.processorRevision = 0x1234;
    return info;
}

TEST(MachineInfo, BlockHasItsFieldsAtTheirPlaces) {
    const InfoBlock block = encodeMachineInfo(sample());
    EXPECT_EQ(loadInt(block.data()), 192);
    EXPECT_EQ(loadInt(block.data() + 12), 7);
    EXPECT_EQ(loadText(block.data() + 16, 64), "render-node");
    EXPECT_EQ(loadText(block.data() + 80, 128), "/usr/lib");
    EXPECT_EQ(loadText(block.data() + 208, 64), "farm");
    EXPECT_EQ(loadInt(block.data() + 272), 1920);
    EXPECT_EQ(loadInt(block.data() + 292), 76);
    EXPECT_EQ(loadInt(block.data() + 308), 123456789);
    EXPECT_EQ(loadInt(block.data() + 328), 16);
    EXPECT_EQ(loadInt(block.data() + 336), 586);
    EXPECT_EQ(loadInt(block.data() + 348), 0x1234);
    EXPECT_EQ(decodeMachineInfo(block), sample());
}

TEST(MachineInfo, TextsWithoutTerminatorAreRefused) {
    for (std::size_t offset : {16u, 80u, 208u}) {
        InfoBlock block = encodeMachineInfo(sample());
        const std::size_t size = offset == 80 ? 128 : 64;
        std::fill_n(block.begin() + static_cast<std::ptrdiff_t>(offset), size, 'n');
        EXPECT_FALSE(decodeMachineInfo(block)) << offset;
    }
    // Long names are cut so that they keep their terminator.
    MachineInfo info = sample();
    info.computerName = std::string(200, 'c');
    const auto back = decodeMachineInfo(encodeMachineInfo(info));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->computerName.size(), 63u);
}

TEST(MachineInfo, MemoryOfFourGibibytesOrMoreSaturates) {
    const MemoryFigures big = parseMeminfo("MemTotal:       16318540 kB\n"
                                           "MemFree:         1000000 kB\n"
                                           "MemAvailable:    3500000 kB\n"
                                           "SwapTotal:       1048572 kB\n"
                                           "SwapFree:        1048572 kB\n");
    EXPECT_EQ(big.total, 16318540ull * 1024);
    EXPECT_EQ(big.available, 3500000ull * 1024);
    MachineInfo info;
    applyMemoryFigures(big, info);
    EXPECT_EQ(info.totalPhysical, 0xFFFFFFFFu);
    EXPECT_EQ(info.availablePhysical, 3500000u * 1024);
    EXPECT_EQ(info.totalVirtual, 0xFFFFFFFFu);
    EXPECT_EQ(info.availableVirtual, 0xFFFFFFFFu); // 3.5 GB and 1 GB of swap exceed 4 GiB
    EXPECT_EQ(info.memoryLoad, 100 - 3500000ull * 100 / 16318540);

    MachineInfo small;
    applyMemoryFigures(parseMeminfo("MemTotal: 2097152 kB\nMemAvailable: 1048576 kB\n"), small);
    EXPECT_EQ(small.totalPhysical, 2147483648u);
    EXPECT_EQ(small.memoryLoad, 50u);
    EXPECT_EQ(saturatedBytes(4294967296ull), 0xFFFFFFFFu);
    EXPECT_EQ(saturatedBytes(4294967295ull), 0xFFFFFFFFu);
    EXPECT_EQ(saturatedBytes(5), 5u);
    // Garbage gives nothing rather than nonsense.
    EXPECT_EQ(parseMeminfo("MemTotal: lots\nMemTotally: 5 kB").total, 0u);
}

TEST(MachineInfo, KernelReleaseGivesTheVersionNumbers) {
    MachineInfo info;
    applyKernelRelease("6.1.0-18-amd64", info);
    EXPECT_EQ(info.osMajor, 6);
    EXPECT_EQ(info.osMinor, 1);
    EXPECT_EQ(info.build, 0);
    applyKernelRelease("5.15.167.4-microsoft-standard", info);
    EXPECT_EQ(info.osMinor, 15);
    EXPECT_EQ(info.build, 167);
    applyKernelRelease("weird", info);
    EXPECT_EQ(info.osMajor, 0);
}

TEST(MachineInfo, ThisMachineIsDescribedFromTheSystem) {
    const MachineInfo info = describeThisMachine({127, 0, 0, 1}, 0, 0, 0);
    utsname names{};
    ASSERT_EQ(uname(&names), 0);
    EXPECT_EQ(info.computerName, std::string(names.nodename).substr(0, 63));
    EXPECT_EQ(info.address, (std::array<std::uint8_t, 4>{127, 0, 0, 1}));
    EXPECT_EQ(info.screenWidth, 0);
    EXPECT_GE(info.processorCount, 1u);
    EXPECT_GT(info.pageSize, 0u);
    EXPECT_GT(info.totalPhysical, 0u);
    EXPECT_TRUE(decodeMachineInfo(encodeMachineInfo(info)));
}

} // namespace
} // namespace vortimax::net
