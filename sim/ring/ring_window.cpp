// First floor of the ring master: a window of plain 16-bit words.
#include "ring_window.h"

#include <vector>

namespace qsim {
namespace {

class PlainWindow final : public RingWindow {
public:
    PlainWindow() : words_(kWords, 0) {}
    std::uintptr_t base() const override { return reinterpret_cast<std::uintptr_t>(words_.data()); }
    std::size_t size() const override { return kWords * 2; }
    std::uint16_t read16(std::uint32_t offset) override { return words_[(offset / 2) % kWords]; }
    void write16(std::uint32_t offset, std::uint16_t value) override { words_[(offset / 2) % kWords] = value; }

private:
    static constexpr std::size_t kWords = 0x8000;
    std::vector<std::uint16_t> words_;
};

}  // namespace

std::unique_ptr<RingWindow> make_ring_window(Card&) { return std::make_unique<PlainWindow>(); }

}  // namespace qsim
