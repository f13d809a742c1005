// Arguments of one export call drawn from the fuzzer's input. Each value is either an edge value
// (of its C type and of the library's ranges: axis, card, ring, slave and channel limits, pulse
// and speed limits, NaN, infinities) or raw bytes. Pointers are null or point to buffers owned
// here, sized exactly (so AddressSanitizer sees any write past them) and filled with a pattern,
// so the harness can tell afterwards whether a call wrote through them.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace quvex_fuzz {

// Edge values of integer arguments; each is converted to the argument's type as C would.
extern const long long kIntegerEdges[];
extern const std::size_t kIntegerEdgeCount;
extern const double kRealEdges[];
extern const std::size_t kRealEdgeCount;

// Paths handed to exports that take a file name: files prepared in the fuzz folder (a log to
// write, configuration files good and damaged) and names that cannot be opened.
const char* pick_path(FuzzedDataProvider& in);

// Callbacks handed to exports that take one: they count their calls and return zero.
template <class F>
struct Callback;
template <class R, class... A>
struct Callback<R (*)(A...)> {
    static R call(A...) {
        ++calls;
        if constexpr (!std::is_void_v<R>) return R{};
    }
    static inline long long calls = 0;
};

class CallArgs {
public:
    explicit CallArgs(FuzzedDataProvider& in) : in_(in) {}

    // One in three is a small number (0..7): the cards, axes, rings, channels and the slaves
    // where the installation has stations, so that sequences such as enable-then-link or
    // open-start-then-talk reach the code behind their checks; the rest are edges or raw bytes.
    template <class T>
    T integer(std::size_t) {
        const auto pick = in_.ConsumeIntegral<std::uint8_t>();
        if (pick < 85) return static_cast<T>(pick % 8);
        if (pick < 213) return static_cast<T>(kIntegerEdges[pick % kIntegerEdgeCount]);
        return in_.ConsumeIntegral<T>();
    }

    template <class T>
    T callback() {
        return in_.ConsumeBool() ? nullptr : &Callback<T>::call;
    }

    double real(std::size_t) {
        const auto pick = in_.ConsumeIntegral<std::uint8_t>();
        if (pick < 160) return kRealEdges[pick % kRealEdgeCount];
        if (pick < 224) return in_.ConsumeFloatingPointInRange(-1e7, 1e7);
        const std::uint64_t bits = in_.ConsumeIntegral<std::uint64_t>();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

    // An input array: null, or 1024 values (64 drawn like single arguments, repeated). Text is a path.
    template <class T>
    const T* array(std::size_t k) {
        if constexpr (std::is_same_v<T, char>) {
            return pick_path(in_);
        } else {
            if (in_.ConsumeIntegral<std::uint8_t>() < 16) return nullptr;
            auto values = std::make_shared<std::vector<T>>(kArrayLength);
            for (std::size_t i = 0; i < kDrawnValues; ++i) {
                T& v = (*values)[i];
                if constexpr (std::is_floating_point_v<T>) {
                    v = static_cast<T>(real(k));
                } else {
                    v = integer<T>(k);
                }
            }
            for (std::size_t i = kDrawnValues; i < kArrayLength; ++i) (*values)[i] = (*values)[i % kDrawnValues];
            keep_.push_back(values);
            return values->data();
        }
    }

    // An out-pointer of `count` values: null now and then, else a patterned buffer.
    template <class T>
    T* out(const char* name, std::size_t count) {
        if (in_.ConsumeIntegral<std::uint8_t>() < 16) return nullptr;
        auto bytes = std::make_shared<std::vector<unsigned char>>(count * sizeof(T), static_cast<unsigned char>(0xC5));
        keep_.push_back(bytes);
        outs_.push_back({name, bytes.get()});
        return reinterpret_cast<T*>(bytes->data());
    }

    // The name of the first out-buffer the call wrote to, or null when none changed.
    const char* written_output() const;

private:
    // Long enough for the longest table an export reads by its count argument (the compare
    // table, 1024 entries): a shorter array would be the caller's overrun, not the library's.
    // Only the first values are drawn, the rest repeat them, so an array costs little input.
    static constexpr std::size_t kArrayLength = 1024;
    static constexpr std::size_t kDrawnValues = 64;
    struct Out {
        const char* name;
        const std::vector<unsigned char>* bytes;
    };

    FuzzedDataProvider& in_;
    std::vector<std::shared_ptr<void>> keep_;
    std::vector<Out> outs_;
};

}  // namespace quvex_fuzz
