#pragma once

#include <cstddef>
#include <cstdint>

namespace velnor {

// Reads a byte buffer front to back; every read checks the length, so a decoder built on it
// cannot run past the end.
class ByteCursor {
public:
    ByteCursor(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    bool readByte(uint8_t &out) {
        if (m_pos >= m_size) {
            return false;
        }
        out = m_data[m_pos++];
        return true;
    }

    // The next count bytes, or nullptr when fewer remain.
    const uint8_t *readBytes(size_t count) {
        if (m_size - m_pos < count) {
            return nullptr;
        }
        const uint8_t *start = m_data + m_pos;
        m_pos += count;
        return start;
    }

    size_t remaining() const { return m_size - m_pos; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace velnor
