#pragma once

// Bit fields packed most significant bit first, as 3GPP2 C.S0015 lays out its parameters.

#include "codec/CMyTools.h"

namespace velnor {

class BitReader {
public:
    BitReader(const uint8_t *data, size_t size) : data_(data), bitCount_(size * 8) {}

    // Reads a field of 1 to 16 bits; false when it would run past the end.
    bool read(unsigned width, unsigned &value) {
        if (bitCount_ - bit_ < width) {
            return false;
        }
        value = 0;
        for (unsigned i = 0; i < width; ++i, ++bit_) {
            value = (value << 1) | ((data_[bit_ / 8] >> (7 - bit_ % 8)) & 1u);
        }
        return true;
    }

private:
    const uint8_t *data_;
    size_t bitCount_;
    size_t bit_ = 0;
};

class BitWriter {
public:
    void write(unsigned value, unsigned width) {
        for (unsigned i = width; i-- > 0; ++bit_) {
            if (bit_ % 8 == 0) {
                bytes_.push_back(0);
            }
            if ((value >> i) & 1u) {
                bytes_.back() |= static_cast<uint8_t>(0x80 >> (bit_ % 8));
            }
        }
    }

    // The bytes written, the last one padded with zero bits.
    const Bytes &bytes() const { return bytes_; }

private:
    Bytes bytes_;
    size_t bit_ = 0;
};

} // namespace velnor
