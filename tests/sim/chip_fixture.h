// A group of virtual chips built directly, without a card or the library: the tests write the
// chips' ports as a driver would and move the virtual clock themselves.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "../../sim/chip/chip.h"
#include "../../sim/chip/chip_codes.h"
#include "quvex/sim.h"

namespace quvex::test {

struct RecordedEvent {
    int axis;
    qsim::ChipEvent event;
    qsim::Ns at;         // when it happened
    qsim::Ns delivered;  // the virtual time at which the chip reported it
};

class ChipGroupTest : public ::testing::Test {
protected:
    void SetUp() override { quvex_sim_reset(); }
    void TearDown() override {
        quvex_sim_reset();
        std::lock_guard<std::mutex> lk(machine().mu);
        group_.reset();
    }

    static qsim::Machine& machine() { return qsim::Machine::get(); }

    // A group of `chips` chips counting in `units`, recording the events it reports.
    qsim::ChipGroup& make_group(const qsim::ChipUnits& units = qsim::kCardChipUnits, int chips = 4) {
        std::lock_guard<std::mutex> lk(machine().mu);
        group_ = std::make_unique<qsim::ChipGroup>(machine(), 20, units, chips);
        group_->set_listener([this](int axis, qsim::ChipEvent e, qsim::Ns at) { events_.push_back({axis, e, at, machine().now}); });
        return *group_;
    }

    // A register write as the driver makes it: both data words, then the code.
    void write(int axis, unsigned code, std::uint32_t value) {
        std::lock_guard<std::mutex> lk(machine().mu);
        qsim::Chip& c = group_->chip(axis);
        c.write_port(qsim::chipcode::kDataLowPort, static_cast<std::uint16_t>(value & 0xFFFFu));
        c.write_port(qsim::chipcode::kDataHighPort, static_cast<std::uint16_t>(value >> 16));
        c.write_port(qsim::chipcode::kCommandPort, static_cast<std::uint16_t>(code));
    }
    void command(int axis, std::uint16_t word) {
        std::lock_guard<std::mutex> lk(machine().mu);
        group_->chip(axis).write_port(qsim::chipcode::kCommandPort, word);
    }
    std::uint16_t main_status(int axis) {
        std::lock_guard<std::mutex> lk(machine().mu);
        return group_->chip(axis).read_port(qsim::chipcode::kCommandPort);
    }

    // Buffered registers of a move: kind, amount, speeds (units), range, rates.
    struct Move {
        std::uint32_t mode = 0x41;
        std::int32_t amount = 0;
        std::uint32_t fl = 100, fh = 1000, range = 299, rate = 100;
        std::uint32_t section = 0;
    };
    void program(int axis, const Move& m, unsigned bank = 0x80) {
        write(axis, bank + qsim::chipcode::kOperationMode, m.mode);
        write(axis, bank + qsim::chipcode::kMoveAmount, static_cast<std::uint32_t>(m.amount));
        write(axis, bank + qsim::chipcode::kSpeedRange, m.range);
        write(axis, bank + qsim::chipcode::kMaxSpeed, m.fh);
        write(axis, bank + qsim::chipcode::kStartSpeed, m.fl);
        write(axis, bank + qsim::chipcode::kAccelRate, m.rate);
        write(axis, bank + qsim::chipcode::kDecelRate, m.rate);
        write(axis, bank + qsim::chipcode::kAccelSection, m.section);
        write(axis, bank + qsim::chipcode::kDecelSection, m.section);
    }

    // Reads a chip field under the machine lock, the chip brought up to now first.
    template <typename F>
    auto look(int axis, F f) {
        std::lock_guard<std::mutex> lk(machine().mu);
        qsim::Chip& c = group_->chip(axis);
        c.update(machine().now);
        return f(c);
    }
    std::int32_t counter(int axis) {
        return look(axis, [](qsim::Chip& c) { return c.command_counter; });
    }
    bool running(int axis) {
        return look(axis, [](qsim::Chip& c) { return c.operation_state() != qsim::opstate::kStopped; });
    }
    double speed_units(int axis) {
        return look(axis, [](qsim::Chip& c) { return c.motion.speed; });
    }
    // Advances in steps until the axis stops (or `limit` seconds pass); true when it stopped.
    bool run_until_stopped(int axis, double limit = 100.0, double step = 0.01) {
        for (double t = 0; t < limit; t += step) {
            if (!running(axis)) return true;
            quvex_sim_advance(step);
        }
        return !running(axis);
    }
    // Events reported so far, taken under the machine lock.
    std::vector<RecordedEvent> events() {
        std::lock_guard<std::mutex> lk(machine().mu);
        return events_;
    }

    std::unique_ptr<qsim::ChipGroup> group_;
    std::vector<RecordedEvent> events_;
};

}  // namespace quvex::test
