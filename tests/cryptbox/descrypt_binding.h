// How the Descrypt tests reach the function: linked natively, or loaded from
// cryptbox.dll by name under Wine (with a stack-balance check on x86).
#pragma once

#include <cstdint>

namespace cryptbox_test {

std::uint8_t CallDescrypt(std::uint8_t mode, const char *input, std::int32_t length, char *output,
                          std::int32_t *output_len, const char *key);

// The C runtime's own sscanf, as the library's callers have it: glibc's natively,
// msvcrt.dll's on Windows.
using ScanFunction = int (*)(const char *, const char *, ...);
ScanFunction RuntimeSscanf();

}  // namespace cryptbox_test
