#pragma once

#include <cstdint>
#include <optional>

namespace kivo {

/// Bytes this process can probably still allocate: the smaller of what its address-space limit
/// (RLIMIT_AS, as `ulimit -v` sets it) leaves beside the address space in use, and what the
/// system has available (MemAvailable plus free swap). nullopt when neither can be read.
std::optional<std::uintmax_t> AllocatableBytes();

/// Whether bytes more can probably be had, keeping kMemoryReserve aside for what the program
/// needs meanwhile (dialogs, messages, the event loop). Used before work that would otherwise
/// meet the shortage where it cannot be handled (a window's text, whose library ends the process
/// when an allocation fails). True when nothing is known.
bool CanAllocate(std::uintmax_t bytes);

/// Kept free by CanAllocate: a message box and the event loop must still work after a refusal,
/// and files named on the command line are read before the main window is shown, which then
/// takes about a hundred megabytes of address space more (fonts, the screen's buffers).
inline constexpr std::uintmax_t kMemoryReserve = std::uintmax_t{160} << 20;

} // namespace kivo
