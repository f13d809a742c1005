// The seam's lock behaves like a critical section on every backend: the thread that holds it may
// enter again, and other threads get it only after it has left as often as it entered.
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "common/platform.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

using namespace std::chrono_literals;

// The owner runs on a thread of its own and is never joined: if entering twice deadlocks, the
// test fails after a while instead of hanging, and the stuck thread ends with the process.
struct Owner {
    plat::Lock lock{};
    std::promise<void> entered_twice, leave_once, left_once, leave_again;
};

TEST(SeamLock, OwnerEntersAgainOthersWaitForTheLastLeave) {
    auto o = std::make_shared<Owner>();
    plat::lock_init(o->lock);
    auto left_once = o->left_once.get_future();
    auto entered_twice = o->entered_twice.get_future();
    std::thread([o, leave_once = o->leave_once.get_future(), leave_again = o->leave_again.get_future()]() mutable {
        plat::lock_enter(o->lock);
        plat::lock_enter(o->lock);
        o->entered_twice.set_value();
        leave_once.wait();
        plat::lock_leave(o->lock);
        o->left_once.set_value();
        leave_again.wait();
        plat::lock_leave(o->lock);
    }).detach();
    ASSERT_EQ(entered_twice.wait_for(10s), std::future_status::ready) << "the owner could not enter a second time";

    auto other = std::async(std::launch::async, [o] { plat::LockGuard hold(o->lock); });
    o->leave_once.set_value();
    left_once.wait();
    EXPECT_EQ(other.wait_for(50ms), std::future_status::timeout) << "one leave of two gave the lock away";
    o->leave_again.set_value();
    EXPECT_EQ(other.wait_for(10s), std::future_status::ready);
    other.get();
    plat::lock_destroy(o->lock);
}

}  // namespace
}  // namespace quvex::test
