#include "Memory.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace kivo {

namespace {

/// The address space the process uses now (the first field of /proc/self/statm, in pages).
std::optional<std::uintmax_t> AddressSpaceInUse()
{
    std::FILE *statm = std::fopen("/proc/self/statm", "re");
    if (!statm)
        return std::nullopt;
    unsigned long long pages = 0;
    const bool read = std::fscanf(statm, "%llu", &pages) == 1;
    std::fclose(statm);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (!read || pageSize <= 0)
        return std::nullopt;
    return static_cast<std::uintmax_t>(pages) * static_cast<std::uintmax_t>(pageSize);
}

/// What the address-space limit leaves; nullopt without a limit.
std::optional<std::uintmax_t> AddressSpaceLeft()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    const auto used = AddressSpaceInUse();
    if (!used)
        return std::nullopt;
    const auto most = static_cast<std::uintmax_t>(limit.rlim_cur);
    return most > *used ? most - *used : 0;
}

/// MemAvailable and SwapFree of /proc/meminfo together; nullopt when it cannot be read.
std::optional<std::uintmax_t> SystemMemoryAvailable()
{
    std::FILE *meminfo = std::fopen("/proc/meminfo", "re");
    if (!meminfo)
        return std::nullopt;
    constexpr std::uintmax_t kKibibyte = 1024;
    std::optional<std::uintmax_t> available;
    std::uintmax_t swapFree = 0;
    char line[128];
    while (std::fgets(line, sizeof line, meminfo)) {
        unsigned long long kib = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1)
            available = kib * kKibibyte;
        else if (std::sscanf(line, "SwapFree: %llu kB", &kib) == 1)
            swapFree = kib * kKibibyte;
    }
    std::fclose(meminfo);
    if (!available)
        return std::nullopt;
    return *available + swapFree;
}

} // namespace

std::optional<std::uintmax_t> AllocatableBytes()
{
    const auto left = AddressSpaceLeft();
    const auto system = SystemMemoryAvailable();
    if (left && system)
        return std::min(*left, *system);
    return left ? left : system;
}

bool CanAllocate(std::uintmax_t bytes)
{
    const auto can = AllocatableBytes();
    return !can || (*can > kMemoryReserve && *can - kMemoryReserve >= bytes);
}

} // namespace kivo
