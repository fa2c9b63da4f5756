#include "hex_text.h"

#include <cstdio>

namespace cryptbox {
namespace {

// Two plain digits are all the table decides; spaces, signs, "0x" and the rest
// go to the C runtime so its own rules apply.
bool IsPlainPair(const char *pair) { return DigitValue(pair[0]) >= 0 && DigitValue(pair[1]) >= 0; }

int PlainPairValue(const char *pair) { return DigitValue(pair[0]) * 16 + DigitValue(pair[1]); }

}  // namespace

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
  if (IsPlainPair(text)) return PlainPairValue(text);
  unsigned iVal = 0;
  std::sscanf(text, "%02x", &iVal);
  return static_cast<int>(iVal);
}

}  // namespace cryptbox
