// The five comparators of an axis in their fixed roles (1 and 2 software limits, 3 the
// error-counter check, 4 the general comparator, 5 the trigger comparator): their configuration
// bytes in env4/env5, their data registers scaled by the move ratio, and the compare status.
#pragma once

#include <cstdint>

#include "quvex/quvex_base.h"

namespace quvex::compare {

constexpr int kSoftLimitPlus = 1;
constexpr int kSoftLimitMinus = 2;
constexpr int kErrorCheck = 3;
constexpr int kGeneralComparator = 4;
constexpr int kTriggerComparator = 5;

// Conditions the library gives a meaning to.
constexpr unsigned kSoftLimitCondition = 6;   // comparators 1 and 2 only
constexpr unsigned kErrorCheckCondition = 5;  // with kErrorCounterSource
constexpr unsigned kErrorCounterSource = 2;
constexpr unsigned kGeneralCounterSource = 3;  // forced by the general-counter conditions 8..10

constexpr bool comparator_exists(int n) { return n >= 1 && n <= 5; }

// True when trunc(value) fits a 32-bit signed register (false for NaN): the bound of values
// that pass unscaled.
constexpr bool fits_register(double value) { return value > -2147483649.0 && value < 2147483648.0; }

// Replaces comparator n's byte (source, condition, action) in its mirror and writes the
// register. 18 for n outside 1..5; 17, before anything changes, for condition 6 on comparator
// 3 or 4.
quvex_status configure_comparator(int axis_no, int n, unsigned source, unsigned condition, unsigned action);

// Writes comparator n's data, in user units when bit 0 of its source is set (then multiplied by
// the move ratio) and in pulses otherwise. 18 for n outside 1..5; 13, writing nothing, for a
// value that does not fit the comparator.
quvex_status set_comparator_data(int axis_no, int n, double value);

// Reads comparator n's data, divided by the move ratio when bit 0 of its source is set. 18 for
// n outside 1..5, out left alone.
quvex_status read_comparator_data(int axis_no, int n, double* out);

// Comparators 1..5 as bits 0..4: the main status word's comparator bits.
std::uint16_t compare_status(int axis_no);

// env2's trigger output type for the export's type number.
void set_trigger_type(int axis_no, int type);

}  // namespace quvex::compare
