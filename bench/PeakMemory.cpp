#include "PeakMemory.h"

#include <sys/resource.h>

namespace kivo::bench {

double PeakMegabytes()
{
    constexpr double kKilobytesPerMegabyte = 1024.0; // ru_maxrss counts kilobytes
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / kKilobytesPerMegabyte;
}

} // namespace kivo::bench
