#include "cli/npy_file.h"

#include "base/atomic_file.h"

#include <cstring>
#include <string>

namespace vortimax::cli {

namespace {

// Version 1.0 header: magic, version, a little-endian 16-bit header length, then the
// dictionary padded with blanks so that the data starts at a multiple of 64 bytes.
std::string npyHeader(int height, int width) {
    std::string dictionary = "{'descr': '<f4', 'fortran_order': False, 'shape': (" +
                             std::to_string(height) + ", " + std::to_string(width) + "), }";
    const std::size_t prefix = 10;
    std::size_t total = prefix + dictionary.size() + 1;
    dictionary.append((64 - total % 64) % 64, ' ');
    dictionary += '\n';
    const std::size_t length = dictionary.size();
    std::string header = "\x93NUMPY";
    header += '\x01';
    header += '\x00';
    header += static_cast<char>(length & 0xFF);
    header += static_cast<char>((length >> 8) & 0xFF);
    return header + dictionary;
}

} // namespace

bool writeValuesNpy(const ImageBuffers& buffers, const std::filesystem::path& path,
                    std::error_code* error) {
    std::string bytes = npyHeader(buffers.height, buffers.width);
    const std::size_t rowBytes = static_cast<std::size_t>(buffers.width) * sizeof(float);
    std::size_t offset = bytes.size();
    bytes.resize(offset + rowBytes * static_cast<std::size_t>(buffers.height));
    for (int y = buffers.height - 1; y >= 0; --y, offset += rowBytes)
        std::memcpy(bytes.data() + offset,
                    buffers.values.data() + static_cast<std::size_t>(y) * buffers.valueStride(),
                    rowBytes);
    return writeFileAtomically(path, bytes, error);
}

} // namespace vortimax::cli
