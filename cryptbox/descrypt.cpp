#include <algorithm>
#include <cstring>

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
// Cipher bytes handled at a time: the call's own memory, whatever the message size.
constexpr std::int32_t kPieceBytes = 8192;
static_assert(kPieceBytes % kBlockSize == 0, "pieces hold whole blocks");

// Whole pieces are whole blocks, so ECB piece by piece gives the bytes ECB in one go gives.
std::uint8_t Encrypt(CMyEncrypt &cMyEncrypt, const char *input, std::int32_t length, char *output,
                     std::int32_t *output_len, const char *key) {
  if (length > kMaxMessage) return 0;
  std::uint8_t cipher[kPieceBytes];
  std::int32_t hex_len = 0;
  for (std::int32_t done = 0; done < length;) {
    const std::int32_t piece = std::min(kPieceBytes, length - done);
    int len_out = 0;
    if (!cMyEncrypt.EcbCrypt(1, reinterpret_cast<const std::uint8_t *>(input) + done, piece, cipher,
                             &len_out, key))
      return 0;
    RenderLowerHex(cipher, static_cast<std::size_t>(len_out), output + hex_len);
    hex_len += 2 * len_out;
    done += piece;
  }
  output[hex_len] = '\0';
  *output_len = hex_len;
  return 1;
}

std::uint8_t Decrypt(CMyEncrypt &cMyEncrypt, std::uint8_t mode, const char *input,
                     std::int32_t length, char *output, std::int32_t *output_len,
                     const char *key) {
  const std::int32_t count = length / 2;
  // The engine takes whole blocks only: refuse before any work.
  if (count % kBlockSize != 0) return 0;
  std::uint8_t cipher[kPieceBytes];
  unsigned nTemp = 0;
  for (std::int32_t done = 0; done < count;) {
    const std::int32_t piece = std::min(kPieceBytes, count - done);
    nTemp = DecodeHexPairs(input + 2 * done, static_cast<std::size_t>(piece), cipher, nTemp);
    int len_out = 0;
    if (!cMyEncrypt.EcbCrypt(mode, cipher, piece, reinterpret_cast<std::uint8_t *>(output) + done,
                             &len_out, key))
      return 0;
    done += piece;
  }
  *output_len = count;
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
