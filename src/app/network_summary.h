#pragma once

#include "network/master.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// What the program is in the network, and the members it serves as master: the
// content of the network window.
enum class NetworkRole { None, Master, Slave };

struct NetworkSummary {
    NetworkRole role = NetworkRole::None;
    // As master its own address and the port it listens on; as slave the master's.
    net::Address address{};
    std::uint16_t port = 0;
    std::vector<net::MemberSummary> members; // as master only
};

// "Acting as Master at a.b.c.d:p", "Connected to a.b.c.d:p" or "- undefined -".
std::string networkHeading(const NetworkSummary& summary);

// The names of the platform and processor codes a slave sends about its machine.
std::string_view platformName(std::int32_t platform);
std::string_view processorName(std::uint32_t processorType);

// The benchmark as a speed: 10 divided by its milliseconds, three decimals. A benchmark
// faster than the clock's millisecond shows as ">10.000" rather than an infinity.
std::string speedText(std::uint32_t benchmarkMs);

// One line of the selected member's details: its label and its value.
struct MemberDetail {
    std::string_view label;
    std::string value;
};

// The details of a member, in the order shown; every value "- - -" without a member.
std::vector<MemberDetail> memberDetails(const net::MemberSummary* member);

} // namespace vortimax
