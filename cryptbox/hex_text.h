// Hex digit pairs in both directions, byte-identical to the C runtime's
// "%02x" / "%1X" rendering and "%x" / "%02x" scanning.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cryptbox {

inline constexpr char kLowerDigits[] = "0123456789abcdef";
inline constexpr char kUpperDigits[] = "0123456789ABCDEF";

// Writes two digits per byte, high half first; no terminator. The table path.
void RenderHex(const std::uint8_t *bytes, std::size_t count, const char *digits, char *out);
// The same in lower case, with vector instructions where the processor has them.
void RenderLowerHex(const std::uint8_t *bytes, std::size_t count, char *out);

constexpr std::array<std::int8_t, 256> MakeDigitTable() {
  std::array<std::int8_t, 256> table{};
  for (auto &entry : table) entry = -1;
  for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<std::int8_t>(i);
  for (int i = 0; i < 6; ++i) {
    table['a' + i] = static_cast<std::int8_t>(10 + i);
    table['A' + i] = static_cast<std::int8_t>(10 + i);
  }
  return table;
}

// Value of a hex digit, or -1.
inline constexpr auto kDigitValue = MakeDigitTable();

inline int DigitValue(char c) { return kDigitValue[static_cast<unsigned char>(c)]; }

// True, with the value, for two plain hex digits: all the table decides.
// Spaces, signs, "0x" and the rest go to the C runtime so its own rules apply.
inline bool ReadPlainPair(char hi, char lo, int &value) {
  const int high = DigitValue(hi), low = DigitValue(lo);
  value = high * 16 + low;
  return (high | low) >= 0;
}

// The C runtime's "%x" for anything but two plain digits.
unsigned ScanHexPairByRuntime(char hi, char lo, unsigned previous);

// What sscanf("%x") leaves in a value that held `previous`, scanning the
// two-character text hi, lo (a NUL in either ends the text early). Inline:
// it runs once per byte of every decryption.
inline unsigned ScanHexPair(char hi, char lo, unsigned previous) {
  int value;
  return ReadPlainPair(hi, lo, value) ? static_cast<unsigned>(value) : ScanHexPairByRuntime(hi, lo, previous);
}

// Decodes `pairs` pairs as Descrypt reads them, ScanHexPair after ScanHexPair, from the
// value `nTemp` held before the first; returns the value after the last. Plain digits go
// through vector instructions where the processor has them.
unsigned DecodeHexPairs(const char *text, std::size_t pairs, std::uint8_t *out, unsigned nTemp);

// What sscanf(text, "%02x") leaves in a value that started at 0; text holds
// at least two characters.
int ScanHexAt(const char *text);

}  // namespace cryptbox
