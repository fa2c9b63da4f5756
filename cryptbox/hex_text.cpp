#include "hex_text.h"

#include "c_runtime.h"

namespace cryptbox {

void RenderHex(const std::uint8_t *bytes, std::size_t count, const char *digits, char *out) {
  for (std::size_t i = 0; i < count; ++i) {
    out[2 * i] = digits[bytes[i] >> 4];
    out[2 * i + 1] = digits[bytes[i] & 0x0f];
  }
}

unsigned ScanHexPairByRuntime(char hi, char lo, unsigned previous) {
  const char szTemp[3] = {hi, lo, '\0'};
  return RuntimeScanUnsigned(szTemp, "%x", previous);
}

int ScanHexAt(const char *text) {
  int value;
  if (ReadPlainPair(text[0], text[1], value)) return value;
  return static_cast<int>(RuntimeScanUnsigned(text, "%02x", 0));
}

}  // namespace cryptbox
