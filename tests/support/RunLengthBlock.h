#pragma once

#include "images/CFrame.h"

#include <cstring>
#include <vector>

// A run-length block from rows of packet bytes, behind its 4-byte size.
inline SRunLengthBlock Block(const std::vector<std::vector<uint8_t>>& rows)
{
    std::vector<uint8_t> bytes(4);
    SRunLengthBlock block;
    block.rows = std::make_unique<uint32_t[]>(rows.size());
    for (size_t y = 0; y < rows.size(); ++y) {
        block.rows[y] = uint32_t(bytes.size());
        bytes.insert(bytes.end(), rows[y].begin(), rows[y].end());
    }
    block.size = uint32_t(bytes.size());
    std::memcpy(bytes.data(), &block.size, 4);
    block.data = std::make_unique<uint8_t[]>(bytes.size());
    std::memcpy(block.data.get(), bytes.data(), bytes.size());
    return block;
}
