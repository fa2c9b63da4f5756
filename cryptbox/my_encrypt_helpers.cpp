#include <cstdlib>
#include <cstring>

#include "hex_text.h"
#include "messages.h"
#include "my_encrypt.h"

namespace cryptbox {

std::uint8_t CMyEncrypt::HexToBytes(const char *text, std::uint8_t *out, int out_size) {
  if (text == nullptr) return 0;
  const std::size_t n = std::strlen(text);
  if (n == 0 || n % 2 != 0 || out == nullptr) return 0;
  if (out_size < 0 || static_cast<std::size_t>(out_size) < n / 2 + 2) return 0;
  for (std::size_t i = 0; i < n / 2; ++i)
    out[i] = static_cast<std::uint8_t>(ScanHexAt(text + 2 * i));
  return 1;
}

void CMyEncrypt::BytesToHex(const std::uint8_t *data, int count, char *out, int out_size) {
  if (static_cast<long long>(out_size) < 2LL * count) {
    err_text = kHexRoomMessage;
    return;
  }
  std::memset(out, 0, static_cast<std::size_t>(out_size));
  if (count > 0) RenderHex(data, static_cast<std::size_t>(count), kUpperDigits, out);
}

int CMyEncrypt::BytesToInt(const std::uint8_t *data, int count) {
  if (count >= 4) {
    err_text = kIntLengthMessage;
    return 0;
  }
  int iVal = 0;
  for (int i = 0; i < count; ++i) iVal = iVal * 256 + data[i];
  return iVal;
}

void CMyEncrypt::RandomText(char *out) {
  constexpr int alphabet_size = sizeof kRandomAlphabet - 1;
  for (int i = 0; i < kRandomTextLength; ++i) out[i] = kRandomAlphabet[std::rand() % alphabet_size];
}

}  // namespace cryptbox
