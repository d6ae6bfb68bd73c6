// libFuzzer target for the shader text cut: any bytes as a resource, cut
// into a buffer with guard bytes after its four spare ones.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/ShaderText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kCapacity = 64;
    constexpr unsigned char kGuard = 0xA5;
    std::vector<char> buffer(kCapacity + kTextTerminatorBytes + 16, static_cast<char>(kGuard));
    const std::size_t length = CutShaderText(data, size, buffer.data(), kCapacity);
    if (length > kCapacity || length > size) std::abort();
    if (std::memchr(buffer.data(), '~', length) != nullptr) std::abort();
    for (std::size_t i = 0; i < kTextTerminatorBytes; ++i) {
        if (buffer[length + i] != 0) std::abort();
    }
    for (std::size_t i = kCapacity + kTextTerminatorBytes; i < buffer.size(); ++i) {
        if (static_cast<unsigned char>(buffer[i]) != kGuard) std::abort();
    }
    return 0;
}
