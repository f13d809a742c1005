// Where each comparator's configuration sits in a chip kind's environment registers. The card's
// chip and the module chips share the register set but not the field layout: the one-axis
// module gives its comparator 3 (its trigger comparator) a four-bit method and puts the action
// above it, where the card's comparator 3 has a three-bit condition.
#pragma once

namespace qsim {

struct ComparatorField {
    unsigned env;             // env[] index: 3 = env4, 4 = env5
    unsigned shift;           // first bit of the comparator's byte
    unsigned source_bits;
    unsigned condition_bits;  // the condition (method) follows the source
    unsigned action_shift;    // the action's first bit within the byte (two bits wide)
};

struct CompareLayout {
    int count;                 // comparators 1..count exist; the others never match
    int trigger_comparator;    // a match of this one drives the trigger output
    bool trigger_type_in_env2; // the card chooses pulse or toggle in env2 bits 14-15; else a pulse
    ComparatorField fields[5];
};

// Card chip: comparators 1..4 in env4 (comparator 4 with a four-bit condition), 5 in env5.
constexpr CompareLayout kCardCompareLayout{5, 5, true,
                                           {{3, 0, 2, 3, 5}, {3, 8, 2, 3, 5}, {3, 16, 2, 3, 5},
                                            {3, 24, 2, 4, 6}, {4, 0, 3, 3, 6}}};
// One-axis module: comparators 1..3 in env4; comparator 3 has method bits 18-21, action 22-23.
constexpr CompareLayout kOneAxisCompareLayout{3, 3, false,
                                              {{3, 0, 2, 3, 5}, {3, 8, 2, 3, 5}, {3, 16, 2, 4, 6}, {}, {}}};

}  // namespace qsim
