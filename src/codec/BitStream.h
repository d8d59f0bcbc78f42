#pragma once

// Bit fields packed most significant bit first, as 3GPP2 C.S0015 lays out its parameters.

#include "codec/CMyTools.h"

namespace velnor {

class BitReader {
public:
    BitReader(const uint8_t *data, size_t size) : m_data(data), m_bitCount(size * 8) {}

    // Reads a field of 1 to 16 bits; false when it would run past the end.
    bool read(unsigned width, unsigned &value) {
        if (m_bitCount - m_bit < width) {
            return false;
        }
        value = 0;
        for (unsigned i = 0; i < width; ++i, ++m_bit) {
            value = (value << 1) | ((m_data[m_bit / 8] >> (7 - m_bit % 8)) & 1u);
        }
        return true;
    }

private:
    const uint8_t *m_data;
    size_t m_bitCount;
    size_t m_bit = 0;
};

class BitWriter {
public:
    void write(unsigned value, unsigned width) {
        for (unsigned i = width; i-- > 0; ++m_bit) {
            if (m_bit % 8 == 0) {
                m_bytes.push_back(0);
            }
            if ((value >> i) & 1u) {
                m_bytes.back() |= static_cast<uint8_t>(0x80 >> (m_bit % 8));
            }
        }
    }

    // The bytes written, the last one padded with zero bits.
    const Bytes &bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
    size_t m_bit = 0;
};

} // namespace velnor
