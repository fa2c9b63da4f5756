#include "hex_text.h"

#include <cstdio>

namespace cryptbox {

void RenderHex(const std::uint8_t *bytes, std::size_t count, const char *digits, char *out) {
  for (std::size_t i = 0; i < count; ++i) {
    out[2 * i] = digits[bytes[i] >> 4];
    out[2 * i + 1] = digits[bytes[i] & 0x0f];
  }
}

unsigned ScanHexPairByRuntime(char hi, char lo, unsigned previous) {
  char szTemp[3] = {hi, lo, '\0'};
  unsigned nTemp = previous;
  std::sscanf(szTemp, "%x", &nTemp);
  return nTemp;
}

int ScanHexAt(const char *text) {
  int value;
  if (ReadPlainPair(text[0], text[1], value)) return value;
  unsigned iVal = 0;
  std::sscanf(text, "%02x", &iVal);
  return static_cast<int>(iVal);
}

}  // namespace cryptbox
