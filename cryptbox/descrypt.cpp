#include <cstring>
#include <memory>
#include <new>

#include "c_runtime.h"
#include "cryptbox.h"
#include "hex_text.h"
#include "messages.h"
#include "my_encrypt.h"

namespace cryptbox {
namespace {

constexpr std::size_t kKeyTextLength = 8;
// Largest message whose hex text length still fits output_len.
constexpr std::int64_t kMaxMessage = (INT32_MAX - 1) / 2 / kBlockSize * kBlockSize;

using Scratch = std::unique_ptr<std::uint8_t[]>;

Scratch ZeroedScratch(std::int64_t size) {
  return Scratch(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size)]());
}

std::uint8_t Encrypt(CMyEncrypt &cMyEncrypt, const char *input, std::int32_t length, char *output,
                     std::int32_t *output_len, const char *key) {
  if (length > kMaxMessage) return 0;
  Scratch cipher = ZeroedScratch(PaddedLength(length));
  if (!cipher) return 0;
  int len_out = 0;
  if (!cMyEncrypt.EcbCrypt(1, reinterpret_cast<const std::uint8_t *>(input), length, cipher.get(),
                           &len_out, key))
    return 0;
  RenderHex(cipher.get(), static_cast<std::size_t>(len_out), kLowerDigits, output);
  output[2 * len_out] = '\0';
  *output_len = 2 * len_out;
  return 1;
}

std::uint8_t Decrypt(CMyEncrypt &cMyEncrypt, std::uint8_t mode, const char *input,
                     std::int32_t length, char *output, std::int32_t *output_len,
                     const char *key) {
  const std::int32_t count = length / 2;
  Scratch cipher = ZeroedScratch(count);
  if (!cipher) return 0;
  unsigned nTemp = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    nTemp = ScanHexPair(input[2 * i], input[2 * i + 1], nTemp);
    cipher[i] = static_cast<std::uint8_t>(nTemp);
  }
  int len_out = 0;
  if (!cMyEncrypt.EcbCrypt(mode, cipher.get(), count,
                           reinterpret_cast<std::uint8_t *>(output), &len_out, key))
    return 0;
  *output_len = len_out;
  return 1;
}

}  // namespace
}  // namespace cryptbox

extern "C" uint8_t CRYPTBOX_CALL Descrypt(uint8_t mode, const char *input, int32_t length,
                                          char *output, int32_t *output_len, const char *key) {
  using namespace cryptbox;
  if (length <= 0) {
    RuntimePrintText(kLengthMessage);
    return 0;
  }
  if (key == nullptr || std::strlen(key) != kKeyTextLength) {
    RuntimePrintText(kKeyMessage);
    return 0;
  }
  if (input == nullptr || output == nullptr || output_len == nullptr) return 0;

  CMyEncrypt cMyEncrypt;
  if (mode == 1) return Encrypt(cMyEncrypt, input, length, output, output_len, key);
  return Decrypt(cMyEncrypt, mode, input, length, output, output_len, key);
}
