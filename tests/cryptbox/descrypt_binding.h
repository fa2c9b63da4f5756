// How the Descrypt tests reach the function: linked natively, or loaded from
// cryptbox.dll by name under Wine (with a stack-balance check on x86).
#pragma once

#include <cstdint>

namespace cryptbox_test {

std::uint8_t CallDescrypt(std::uint8_t mode, const char *input, std::int32_t length, char *output,
                          std::int32_t *output_len, const char *key);

}  // namespace cryptbox_test
