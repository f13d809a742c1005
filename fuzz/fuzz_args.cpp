#include "fuzz_args.h"

#include <limits>

namespace quvex_fuzz {

const long long kIntegerEdges[] = {
    0, 1, -1, 2, 3, 4, 5, 7, 8, 11, 12, 13, 15, 16, 17, 31, 32, 47, 48, 63, 64, 65, 100, 127, 128, 255, 256,
    1000, 1023, 1024, 1025, 4095, 4096, 16383, 16384, 32767, -32768, 65535, 65536,
    134217727, 134217728, -134217728, -134217729, 0x7FFFFFFF, -0x7FFFFFFF - 1, 0xFFFFFFFFll,
    std::numeric_limits<long long>::max(), std::numeric_limits<long long>::min(),
};
const std::size_t kIntegerEdgeCount = sizeof kIntegerEdges / sizeof kIntegerEdges[0];

const double kRealEdges[] = {
    0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 10.0, 100.0, 1000.0, 2999.0, 6553.5, 65535.0, 65536.0, 100000.0, 1e7, 1e7 + 1,
    -1000.0, 134217727.0, 134217728.0, -134217728.0, -134217729.0, 1e-300, -1e-300, 1e300, -1e300,
    std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
    std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
};
const std::size_t kRealEdgeCount = sizeof kRealEdges / sizeof kRealEdges[0];

const char* CallArgs::written_output() const {
    for (const Out& o : outs_) {
        for (unsigned char b : *o.bytes) {
            if (b != 0xC5) return o.name;
        }
    }
    return nullptr;
}

}  // namespace quvex_fuzz
