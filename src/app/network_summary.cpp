#include "app/network_summary.h"

#include <array>
#include <cstdio>

namespace vortimax {

namespace {

constexpr std::string_view kNothing = "- - -";
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;

template <typename... Args> std::string format(const char* pattern, Args... args) {
    std::array<char, 96> text{};
    std::snprintf(text.data(), text.size(), pattern, args...);
    return text.data();
}

std::string endpointText(const net::Address& address, std::uint16_t port) {
    return net::addressText(address) + ":" + std::to_string(port);
}

using Detail = std::string (*)(const net::MemberSummary& member);

std::string computer(const net::MemberSummary& member) {
    return member.info.computerName.empty() ? member.name : member.info.computerName;
}
std::string platform(const net::MemberSummary& member) {
    return std::string(platformName(member.info.platform));
}
std::string version(const net::MemberSummary& member) {
    return format("%d (%d/%d)", member.info.osMajor, member.info.osMinor, member.info.build);
}
std::string processor(const net::MemberSummary& member) {
    return std::string(processorName(member.info.processorType));
}
std::string processors(const net::MemberSummary& member) {
    return std::to_string(member.info.processorCount);
}
std::string screen(const net::MemberSummary& member) {
    return format("%dx%dx%d", member.info.screenWidth, member.info.screenHeight,
                  member.info.bitsPerPixel);
}
std::string memoryAvailable(const net::MemberSummary& member) {
    return format("%d MB available",
                  static_cast<int>(member.info.availablePhysical / kBytesPerMegabyte));
}
// The total is rounded up the way a machine's memory is usually named (a little under a
// round figure is what the system reports of it).
std::string memoryTotal(const net::MemberSummary& member) {
    return format("%d MB total",
                  static_cast<int>(member.info.totalPhysical / kBytesPerMegabyte + 1.1));
}
std::string address(const net::MemberSummary& member) {
    return net::addressText(member.address);
}
std::string user(const net::MemberSummary& member) {
    return member.info.userName;
}
std::string speed(const net::MemberSummary& member) {
    return speedText(member.info.benchmarkMs);
}
std::string rowsOut(const net::MemberSummary& member) {
    return std::to_string(member.pending);
}
std::string rowsDone(const net::MemberSummary& member) {
    return std::to_string(member.rowsDone);
}

struct DetailRow {
    std::string_view label;
    Detail value;
};

constexpr DetailRow kDetails[] = {
    {"Computer", computer},
    {"Platform", platform},
    {"Version", version},
    {"Processor", processor},
    {"Processors", processors},
    {"Screen", screen},
    {"Memory", memoryAvailable},
    {"", memoryTotal},
    {"Address", address},
    {"User", user},
    {"Speed", speed},
    {"Rows out", rowsOut},
    {"Rows done", rowsDone},
};

} // namespace

std::string networkHeading(const NetworkSummary& summary) {
    switch (summary.role) {
    case NetworkRole::Master:
        return "Acting as Master at " + endpointText(summary.address, summary.port);
    case NetworkRole::Slave:
        return "Connected to " + endpointText(summary.address, summary.port);
    case NetworkRole::None:
        break;
    }
    return "- undefined -";
}

std::string_view platformName(std::int32_t platform) {
    constexpr std::string_view kNames[] = {"Windows 3.1", "Windows 95", "Windows NT"};
    if (platform < 0 || platform >= static_cast<std::int32_t>(std::size(kNames)))
        return "undefined";
    return kNames[platform];
}

std::string_view processorName(std::uint32_t processorType) {
    switch (processorType) {
    case 386:
        return "Intel 386";
    case 486:
        return "Intel 486";
    case 586:
        return "Intel Pentium/PPro";
    default:
        return "Unknown";
    }
}

std::string speedText(std::uint32_t benchmarkMs) {
    if (benchmarkMs == 0)
        return ">10.000";
    return format("%.3lf", 10.0 / benchmarkMs);
}

std::vector<MemberDetail> memberDetails(const net::MemberSummary* member) {
    std::vector<MemberDetail> details;
    for (const DetailRow& row : kDetails)
        details.push_back(MemberDetail{row.label, member != nullptr ? row.value(*member)
                                                                    : std::string(kNothing)});
    return details;
}

} // namespace vortimax
