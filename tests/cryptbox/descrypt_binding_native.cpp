#include <cstdio>

#include "cryptbox.h"
#include "descrypt_binding.h"

namespace cryptbox_test {

std::uint8_t CallDescrypt(std::uint8_t mode, const char *input, std::int32_t length, char *output,
                          std::int32_t *output_len, const char *key) {
  return Descrypt(mode, input, length, output, output_len, key);
}

ScanFunction RuntimeSscanf() { return &std::sscanf; }

}  // namespace cryptbox_test
