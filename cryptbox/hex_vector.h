// AVX2 kernels for the hex text of long messages, on x86 and x86-64; each does the bulk and
// leaves the rest to the table path, whose results they match byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cryptbox {

// Whether this processor, and the system, runs the kernels.
bool CanUseHexVectors();

// Renders whole 32-byte groups as lower-case digits; returns the bytes done.
std::size_t RenderLowerHexVector(const std::uint8_t *bytes, std::size_t count, char *out);

// Decodes whole 32-pair groups while every character is a plain hex digit, stopping at the
// first group that holds anything else; returns the pairs done.
std::size_t DecodePlainHexVector(const char *text, std::size_t pairs, std::uint8_t *out);

}  // namespace cryptbox
