#pragma once
// The benchmarks' text: deterministic pseudo-random words in lines of about 50 characters.
#include <cstdint>
#include <string>

class Words {
public:
    explicit Words(uint64_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return uint32_t(state_);
    }
    // Appends one line of 40 to 60 characters (without a line end).
    void Line(std::string& out) {
        const size_t target = 40 + Next() % 21;
        const size_t start = out.size();
        while (out.size() - start < target) {
            if (out.size() > start) out.push_back(' ');
            for (uint32_t n = 2 + Next() % 8; n > 0; --n) out.push_back(char('a' + Next() % 26));
        }
    }

private:
    uint64_t state_;
};
