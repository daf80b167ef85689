#include "network/machine_info.h"

#include "model/param_block.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <fstream>
#include <limits>
#include <pwd.h>
#include <sched.h>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

namespace vortimax::net {

namespace {

// Byte positions in the block.
constexpr std::size_t kAddress = 0;
constexpr std::size_t kComputerName = 16;
constexpr std::size_t kComputerNameSize = 64;
constexpr std::size_t kSystemDirectory = 80;
constexpr std::size_t kSystemDirectorySize = 128;
constexpr std::size_t kUserName = 208;
constexpr std::size_t kUserNameSize = 64;

struct SignedWord {
    std::size_t offset;
    std::int32_t MachineInfo::*member;
};
struct UnsignedWord {
    std::size_t offset;
    std::uint32_t MachineInfo::*member;
};
constexpr SignedWord kSignedWords[] = {
    {272, &MachineInfo::screenWidth},  {276, &MachineInfo::screenHeight},
    {280, &MachineInfo::bitsPerPixel}, {284, &MachineInfo::osMajor},
    {288, &MachineInfo::osMinor},      {292, &MachineInfo::build},
    {296, &MachineInfo::platform},
};
constexpr UnsignedWord kUnsignedWords[] = {
    {300, &MachineInfo::pageSize},
    {304, &MachineInfo::memoryLoad},
    {308, &MachineInfo::totalPhysical},
    {312, &MachineInfo::availablePhysical},
    {316, &MachineInfo::totalVirtual},
    {320, &MachineInfo::availableVirtual},
    {324, &MachineInfo::processorMask},
    {328, &MachineInfo::processorCount},
    {332, &MachineInfo::benchmarkMs},
    {336, &MachineInfo::processorType},
    {340, &MachineInfo::allocationGranularity},
    {344, &MachineInfo::processorLevel},
    {348, &MachineInfo::processorRevision},
};
struct TextWord {
    std::size_t offset;
    std::size_t size;
    std::string MachineInfo::*member;
};
constexpr TextWord kTexts[] = {
    {kComputerName, kComputerNameSize, &MachineInfo::computerName},
    {kSystemDirectory, kSystemDirectorySize, &MachineInfo::systemDirectory},
    {kUserName, kUserNameSize, &MachineInfo::userName},
};

std::string readWholeFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The number after "key:" on a line of /proc/meminfo, in kB, as bytes.
std::uint64_t meminfoBytes(std::string_view text, std::string_view key) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.starts_with(key) || line.size() <= key.size() || line[key.size()] != ':')
            continue;
        line.remove_prefix(key.size() + 1);
        while (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
        std::uint64_t kb = 0;
        const auto [ptr, error] = std::from_chars(line.data(), line.data() + line.size(), kb);
        if (error != std::errc() || kb > std::numeric_limits<std::uint64_t>::max() / 1024)
            return 0;
        return kb * 1024;
    }
    return 0;
}

// "cpu family" and "model"/"stepping" of the first processor in /proc/cpuinfo.
std::uint32_t cpuinfoNumber(std::string_view text, std::string_view key) {
    std::size_t at = text.find(key);
    while (at != std::string_view::npos) {
        std::size_t colon = text.find(':', at);
        std::size_t end = text.find('\n', at);
        std::string_view name = text.substr(at, colon - at);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.remove_suffix(1);
        if (colon != std::string_view::npos && colon < end && name == key &&
            (at == 0 || text[at - 1] == '\n')) {
            std::string_view value = text.substr(colon + 1, end - colon - 1);
            while (!value.empty() && value.front() == ' ')
                value.remove_prefix(1);
            std::uint32_t number = 0;
            std::from_chars(value.data(), value.data() + value.size(), number);
            return number;
        }
        at = text.find(key, at + 1);
    }
    return 0;
}

std::string userName() {
    if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr)
        return entry->pw_name;
    return {};
}

std::uint32_t processorMask() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) != 0)
        return 0;
    std::uint32_t mask = 0;
    for (int cpu = 0; cpu < 32; ++cpu)
        if (CPU_ISSET(cpu, &set))
            mask |= 1u << cpu;
    return mask;
}

} // namespace

InfoBlock encodeMachineInfo(const MachineInfo& info) {
    InfoBlock block{};
    for (std::size_t i = 0; i < 4; ++i)
        storeInt(block.data() + kAddress + 4 * i, info.address[i]);
    for (const TextWord& text : kTexts)
        storeText(block.data() + text.offset, text.size, info.*text.member);
    for (const SignedWord& word : kSignedWords)
        storeInt(block.data() + word.offset, info.*word.member);
    for (const UnsignedWord& word : kUnsignedWords)
        storeInt(block.data() + word.offset, static_cast<std::int32_t>(info.*word.member));
    return block;
}

std::optional<MachineInfo> decodeMachineInfo(std::span<const std::uint8_t, kInfoBlockSize> block) {
    MachineInfo info;
    for (std::size_t i = 0; i < 4; ++i)
        info.address[i] = static_cast<std::uint8_t>(loadInt(block.data() + kAddress + 4 * i));
    for (const TextWord& text : kTexts) {
        const std::uint8_t* field = block.data() + text.offset;
        if (std::find(field, field + text.size, std::uint8_t{0}) == field + text.size)
            return std::nullopt;
        info.*text.member = loadText(field, text.size);
    }
    for (const SignedWord& word : kSignedWords)
        info.*word.member = loadInt(block.data() + word.offset);
    for (const UnsignedWord& word : kUnsignedWords)
        info.*word.member = static_cast<std::uint32_t>(loadInt(block.data() + word.offset));
    return info;
}

std::uint32_t saturatedBytes(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(bytes, std::numeric_limits<std::uint32_t>::max()));
}

MemoryFigures parseMeminfo(std::string_view text) {
    MemoryFigures memory;
    memory.total = meminfoBytes(text, "MemTotal");
    memory.available = meminfoBytes(text, "MemAvailable");
    memory.swapTotal = meminfoBytes(text, "SwapTotal");
    memory.swapFree = meminfoBytes(text, "SwapFree");
    return memory;
}

void applyMemoryFigures(const MemoryFigures& memory, MachineInfo& info) {
    info.totalPhysical = saturatedBytes(memory.total);
    info.availablePhysical = saturatedBytes(memory.available);
    info.totalVirtual = saturatedBytes(memory.total + memory.swapTotal);
    info.availableVirtual = saturatedBytes(memory.available + memory.swapFree);
    info.memoryLoad = memory.total == 0 || memory.available > memory.total
                          ? 0
                          : static_cast<std::uint32_t>(100 - memory.available * 100 / memory.total);
}

void applyKernelRelease(std::string_view release, MachineInfo& info) {
    std::int32_t numbers[3] = {0, 0, 0};
    const char* at = release.data();
    const char* end = release.data() + release.size();
    for (std::int32_t& number : numbers) {
        const auto [next, error] = std::from_chars(at, end, number);
        if (error != std::errc())
            break;
        at = next;
        if (at == end || *at != '.')
            break;
        ++at;
    }
    info.osMajor = numbers[0];
    info.osMinor = numbers[1];
    info.build = numbers[2] & 0xffff;
}

MachineInfo describeThisMachine(std::array<std::uint8_t, 4> address, int screenWidth,
                                int screenHeight, int bitsPerPixel) {
    MachineInfo info;
    info.address = address;
    utsname names{};
    if (uname(&names) == 0) {
        info.computerName = std::string(names.nodename).substr(0, kComputerNameSize - 1);
        applyKernelRelease(names.release, info);
        const std::string_view machine = names.machine;
        if (machine == "x86_64" || machine == "i686" || machine == "i586")
            info.processorType = 586;
    }
    info.systemDirectory = "/usr/lib";
    info.userName = userName().substr(0, kUserNameSize - 1);
    info.screenWidth = screenWidth;
    info.screenHeight = screenHeight;
    info.bitsPerPixel = bitsPerPixel;
    const long page = sysconf(_SC_PAGESIZE);
    info.pageSize = page > 0 ? static_cast<std::uint32_t>(page) : 0;
    info.allocationGranularity = info.pageSize;
    applyMemoryFigures(parseMeminfo(readWholeFile("/proc/meminfo")), info);
    info.processorMask = processorMask();
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    info.processorCount = processors > 0 ? static_cast<std::uint32_t>(processors) : 1;
    const std::string cpuinfo = readWholeFile("/proc/cpuinfo");
    info.processorLevel = cpuinfoNumber(cpuinfo, "cpu family");
    info.processorRevision =
        (cpuinfoNumber(cpuinfo, "model") << 8) | (cpuinfoNumber(cpuinfo, "stepping") & 0xff);
    info.benchmarkMs = runBenchmark();
    return info;
}

std::uint32_t runBenchmark() {
    const auto start = std::chrono::steady_clock::now();
    volatile double cr = 0.1, ci = 0.1; // kept from being folded away
    double zr = 0.0, zi = 0.0;
    for (int n = 0; n < 100000 && zr * zr + zi * zi < 1000.0; ++n) {
        const double next = zr * zr - zi * zi + cr;
        zi = 2.0 * zr * zi + ci;
        zr = next;
    }
    const auto spent = std::chrono::steady_clock::now() - start;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(spent).count());
}

} // namespace vortimax::net
