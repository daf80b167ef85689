#include "app/network_summary.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

std::string find(const std::vector<MemberDetail>& details, std::string_view label) {
    for (const MemberDetail& row : details)
        if (row.label == label)
            return row.value;
    return "(missing)";
}

net::MemberSummary sampleMember() {
    net::MemberSummary member;
    member.name = "node7";
    member.address = {10, 0, 0, 7};
    member.info.computerName = "node7";
    member.info.userName = "render";
    member.info.screenWidth = 800;
    member.info.screenHeight = 600;
    member.info.bitsPerPixel = 24;
    member.info.osMajor = 6;
    member.info.osMinor = 1;
    member.info.build = 42;
    member.info.platform = 2;
    member.info.processorType = 586;
    member.info.processorCount = 8;
    // 1023.5 MB reported: the machine is named 1024 MB.
    member.info.totalPhysical = 1023u * 1048576u + 512u * 1024u;
    member.info.availablePhysical = 512u * 1048576u + 1000u;
    member.info.benchmarkMs = 4;
    member.pending = 3;
    member.rowsDone = 17;
    return member;
}

TEST(NetworkWindowTexts, HeadingNamesTheRoleAndTheEndpoint) {
    NetworkSummary summary;
    EXPECT_EQ(networkHeading(summary), "- undefined -");
    summary.address = {192, 168, 1, 20};
    summary.port = 13242;
    EXPECT_EQ(networkHeading(summary), "- undefined -");
    summary.role = NetworkRole::Master;
    EXPECT_EQ(networkHeading(summary), "Acting as Master at 192.168.1.20:13242");
    summary.role = NetworkRole::Slave;
    summary.port = 4000;
    EXPECT_EQ(networkHeading(summary), "Connected to 192.168.1.20:4000");
}

TEST(NetworkWindowTexts, DetailsOfAMember) {
    const std::vector<MemberDetail> details = memberDetails(nullptr);
    ASSERT_FALSE(details.empty());
    for (const MemberDetail& row : details)
        EXPECT_EQ(row.value, "- - -") << row.label;

    net::MemberSummary member = sampleMember();
    std::vector<MemberDetail> shown = memberDetails(&member);
    ASSERT_EQ(shown.size(), details.size());
    EXPECT_EQ(find(shown, "Computer"), "node7");
    EXPECT_EQ(find(shown, "Platform"), "Windows NT");
    EXPECT_EQ(find(shown, "Version"), "6 (1/42)");
    EXPECT_EQ(find(shown, "Processor"), "Intel Pentium/PPro");
    EXPECT_EQ(find(shown, "Processors"), "8");
    EXPECT_EQ(find(shown, "Screen"), "800x600x24");
    EXPECT_EQ(find(shown, "Memory"), "512 MB available");
    EXPECT_EQ(find(shown, ""), "1024 MB total");
    EXPECT_EQ(find(shown, "Address"), "10.0.0.7");
    EXPECT_EQ(find(shown, "User"), "render");
    EXPECT_EQ(find(shown, "Speed"), "2.500");
    EXPECT_EQ(find(shown, "Rows out"), "3");
    EXPECT_EQ(find(shown, "Rows done"), "17");
}

// The memory fields saturate at 4 GiB; a headless slave reports no screen; a member not
// yet integrated has no computer name and goes by its connection name; codes other than
// the known ones have a name too.
TEST(NetworkWindowTexts, DetailsAtTheEdges) {
    net::MemberSummary member = sampleMember();
    member.info.totalPhysical = 0xffffffffu;
    member.info.availablePhysical = 0xffffffffu;
    member.info.screenWidth = member.info.screenHeight = member.info.bitsPerPixel = 0;
    member.info.computerName.clear();
    member.name = "10.0.0.7";
    member.info.platform = 3;
    member.info.processorType = 686;
    member.info.benchmarkMs = 0; // faster than the clock
    const std::vector<MemberDetail> shown = memberDetails(&member);
    EXPECT_EQ(find(shown, ""), "4097 MB total");
    EXPECT_EQ(find(shown, "Memory"), "4095 MB available");
    EXPECT_EQ(find(shown, "Screen"), "0x0x0");
    EXPECT_EQ(find(shown, "Computer"), "10.0.0.7");
    EXPECT_EQ(find(shown, "Platform"), "undefined");
    EXPECT_EQ(find(shown, "Processor"), "Unknown");
    EXPECT_EQ(find(shown, "Speed"), ">10.000");
}

} // namespace
} // namespace vortimax
