#include "hex_text.h"

#include <algorithm>

#include "c_runtime.h"
#include "hex_vector.h"

namespace cryptbox {

void RenderHex(const std::uint8_t *bytes, std::size_t count, const char *digits, char *out) {
  for (std::size_t i = 0; i < count; ++i) {
    out[2 * i] = digits[bytes[i] >> 4];
    out[2 * i + 1] = digits[bytes[i] & 0x0f];
  }
}

void RenderLowerHex(const std::uint8_t *bytes, std::size_t count, char *out) {
  const std::size_t done = CanUseHexVectors() ? RenderLowerHexVector(bytes, count, out) : 0;
  RenderHex(bytes + done, count - done, kLowerDigits, out + 2 * done);
}

unsigned DecodeHexPairs(const char *text, std::size_t pairs, std::uint8_t *out, unsigned nTemp) {
  const bool vectors = CanUseHexVectors();
  std::size_t i = 0;
  while (i < pairs) {
    if (vectors) {
      const std::size_t done = DecodePlainHexVector(text + 2 * i, pairs - i, out + i);
      // Only the low byte of the value ever shows, also when a later pair repeats it.
      if (done > 0) nTemp = out[i + done - 1];
      i += done;
    }
    // The group the vector path stopped at (or everything, without it) goes pair by pair.
    const std::size_t end = vectors ? std::min(i + 32, pairs) : pairs;
    for (; i < end; ++i) {
      nTemp = ScanHexPair(text[2 * i], text[2 * i + 1], nTemp);
      out[i] = static_cast<std::uint8_t>(nTemp);
    }
  }
  return nTemp;
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
