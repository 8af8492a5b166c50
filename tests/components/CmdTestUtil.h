#pragma once
// Shorthands shared by the command-table tests.
#include <cstdint>
#include <vector>

#include "components/ZalCmd.h"

inline TZalKeyBinding B(int key, int shift, int command, int key2 = 0, int shift2 = 0) {
    return TZalKeyBinding{uint8_t(key), uint8_t(shift), uint8_t(key2), uint8_t(shift2),
                          uint16_t(command)};
}

inline std::vector<TZalKeyBinding> BindingsOf(const TZalCommandTable& t) {
    std::vector<TZalKeyBinding> v;
    for (int i = 0; i < t.BindingCount(); ++i) v.push_back(t.GetBinding(i));
    return v;
}
