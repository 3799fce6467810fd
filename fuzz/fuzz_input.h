#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

// Shared by the fuzz targets: reading actions and values off the fuzzer's bytes, and the
// checks that stop a run when an invariant breaks.
namespace velmora::fuzz {

// Stops the run, naming the broken invariant and the text that broke it; libFuzzer (or the
// replay program) reports the input as a crash.
[[noreturn]] inline void fail(const char* what, std::string_view text = {}) {
    std::fprintf(stderr, "invariant broken: %s [%.*s]\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

inline void check(bool holds, const char* what, std::string_view text = {}) {
    if (!holds) fail(what, text);
}

// True when text holds "inf" or "nan" in any case: how an infinity or a NaN gets written
// ("inf", "Infinity", "NaN", "-nan"). No word the program writes contains either.
inline bool hasNonFiniteWord(std::string_view text) {
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        char lower[3];
        for (int k = 0; k < 3; ++k) lower[k] = static_cast<char>(text[i + k] | 0x20);
        if (std::memcmp(lower, "inf", 3) == 0 || std::memcmp(lower, "nan", 3) == 0) return true;
    }
    return false;
}

// Significant digits of the number(s) in a text: leading zeros, the point and an exponent do
// not count.
inline int significantDigits(std::string_view text) {
    int digits = 0;
    int pendingZeros = 0;
    bool started = false;
    for (const char c : text) {
        if (c == 'E' || c == 'e') break;
        if (c < '0' || c > '9') continue;
        if (c == '0') {
            if (started) ++pendingZeros;
            continue;
        }
        started = true;
        digits += pendingZeros + 1;
        pendingZeros = 0;
    }
    return digits;
}

// The fuzzer's bytes, taken from the front; past the end every read gives zeros or "".
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_at >= m_size; }
    std::uint8_t byte() { return empty() ? 0 : m_data[m_at++]; }
    // A text of up to maxLength bytes, its length given by the byte in front.
    std::string text(std::size_t maxLength = 255) {
        std::size_t length = byte() % (maxLength + 1);
        if (length > m_size - m_at) length = empty() ? 0 : m_size - m_at;
        std::string out(reinterpret_cast<const char*>(m_data + m_at), length);
        m_at += length;
        return out;
    }
    // Eight bytes as they stand: every double, NaNs and infinities included.
    double rawDouble() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= std::uint64_t{byte()} << (8 * i);
        return std::bit_cast<double>(bits);
    }
    // The rest of the bytes as one text.
    std::string rest() {
        std::string out(reinterpret_cast<const char*>(m_data + m_at), empty() ? 0 : m_size - m_at);
        m_at = m_size;
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

}  // namespace velmora::fuzz
