// Two threads reading two four-axis modules on one ring at once: each gets its own module's
// answer. The reply words of a module query are taken while the ring lock is still held; taken
// after it, the other thread's query can overwrite them first (a race the ThreadSanitizer build
// reports, and a wrong identification number in the plain build).
#include <atomic>
#include <thread>

#include "../ring/ring_fixture.h"
#include "quvex/kring_m4.h"

namespace quvex::test {
namespace {

class ModuleReplies : public RingTest {};

TEST_F(ModuleReplies, EachThreadGetsItsOwnModulesAnswer) {
    struct Module {
        uint16_t slave;
        uint16_t id;
    };
    constexpr Module kModules[] = {{5, 0x4A17}, {9, 0x5B28}};
    for (const Module& m : kModules) ASSERT_EQ(quvex_sim_ring_add_m4_module(0, m.slave, m.id), 0);
    ASSERT_EQ(kring_start_ring(ring_u()), 0);
    for (const Module& m : kModules) ASSERT_EQ(kring_m4_initial(ring_u(), m.slave), 0);

    constexpr int kReads = 5000;
    std::atomic<int> wrong{0};
    auto reader = [&](const Module& m) {
        for (int i = 0; i < kReads; ++i) {
            uint16_t id = 0;
            if (kring_m4_get_idnum(ring_u(), m.slave, &id) != 0 || id != m.id) wrong.fetch_add(1);
        }
    };
    std::thread a(reader, kModules[0]);
    std::thread b(reader, kModules[1]);
    a.join();
    b.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace quvex::test
