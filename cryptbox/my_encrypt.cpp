#include "my_encrypt.h"

#include <mbedtls/des.h>

#include <cstring>

namespace cryptbox {
namespace {

// Scoped mbed TLS DES context: free runs on every way out.
class DesContext {
 public:
  DesContext() { mbedtls_des_init(&my_ctx); }
  ~DesContext() { mbedtls_des_free(&my_ctx); }
  DesContext(const DesContext &) = delete;
  DesContext &operator=(const DesContext &) = delete;
  mbedtls_des_context *get() { return &my_ctx; }

 private:
  mbedtls_des_context my_ctx;
};

void CryptBlocks(DesContext &ctx, const std::uint8_t *input, int length, std::uint8_t *output) {
  const int whole = length / kBlockSize * kBlockSize;
  for (int offset = 0; offset < whole; offset += kBlockSize)
    mbedtls_des_crypt_ecb(ctx.get(), input + offset, output + offset);
  if (whole < length) {
    // Never read the caller's memory beyond `length`: the tail goes through a zero-filled block.
    std::uint8_t last[kBlockSize] = {};
    std::memcpy(last, input + whole, static_cast<std::size_t>(length - whole));
    mbedtls_des_crypt_ecb(ctx.get(), last, output + whole);
  }
}

bool IsEncrypt(std::uint8_t mode) { return mode == 1; }

// The last byte CBC decryption will give: D(last block) xor the block before it (or the IV).
int LastPlainByte(DesContext &ctx, const std::uint8_t *input, int length, const std::uint8_t *iv) {
  std::uint8_t plain[kBlockSize];
  mbedtls_des_crypt_ecb(ctx.get(), input + length - kBlockSize, plain);
  const std::uint8_t *chain = length > kBlockSize ? input + length - 2 * kBlockSize : iv;
  return plain[kBlockSize - 1] ^ chain[kBlockSize - 1];
}

}  // namespace

std::uint8_t CMyEncrypt::EcbCrypt(std::uint8_t mode, const std::uint8_t *input, int length,
                                  std::uint8_t *output, int *output_len, const char *key) {
  std::uint8_t bin_key[kBinKeySize] = {};
  if (!HexToBytes(key, bin_key, kBinKeySize)) return 0;
  if (length < 0 || (!IsEncrypt(mode) && length % kBlockSize != 0)) return 0;

  DesContext my_ctx;
  if (IsEncrypt(mode))
    mbedtls_des_setkey_enc(my_ctx.get(), bin_key);
  else
    mbedtls_des_setkey_dec(my_ctx.get(), bin_key);
  CryptBlocks(my_ctx, input, length, output);
  *output_len = static_cast<int>(PaddedLength(length));
  return 1;
}

std::uint8_t CMyEncrypt::CbcCrypt(std::uint8_t mode, std::uint8_t *input, int length,
                                  std::uint8_t *output, int *output_len, const char *key,
                                  const char *iv_text) {
  std::uint8_t bin_key[kBinKeySize] = {};
  if (!HexToBytes(key, bin_key, kBinKeySize)) return 0;
  if (length < 0) return 0;

  const int r = length % kBlockSize;
  if (IsEncrypt(mode)) {
    const int pad_count = kBlockSize - r;
    std::memset(input + length, pad_count, static_cast<std::size_t>(pad_count));
    length += pad_count;
  } else if (r != 0 || length == 0) {
    // An empty ciphertext has no pad count to read.
    return 0;
  }

  std::uint8_t temp_iv[kBlockSize + 1] = {};
  std::uint8_t my_iv[kBlockSize + 1] = {};
  const std::size_t iv_len = iv_text ? std::strlen(iv_text) : 0;
  if (iv_len >= kBlockSize)
    std::memcpy(temp_iv, iv_text + iv_len - kBlockSize, kBlockSize);
  else
    std::memcpy(temp_iv, kFixedIvText, kBlockSize);
  std::memcpy(my_iv, temp_iv, kBlockSize);

  DesContext my_ctx;
  if (IsEncrypt(mode)) {
    mbedtls_des_setkey_enc(my_ctx.get(), bin_key);
    mbedtls_des_crypt_cbc(my_ctx.get(), MBEDTLS_DES_ENCRYPT, static_cast<std::size_t>(length),
                          my_iv, input, output);
    *output_len = length;
    return 1;
  }

  mbedtls_des_setkey_dec(my_ctx.get(), bin_key);
  // Only counts that encryption makes are taken; anything else is not our
  // ciphertext, and is refused before a byte of `output` is written.
  const int pad_count = LastPlainByte(my_ctx, input, length, my_iv);
  if (pad_count == 0 || pad_count > kBlockSize) return 0;
  mbedtls_des_crypt_cbc(my_ctx.get(), MBEDTLS_DES_DECRYPT, static_cast<std::size_t>(length), my_iv,
                        input, output);
  const int len_out = length - pad_count;
  output[len_out] = 0;
  *output_len = len_out;
  return 1;
}

}  // namespace cryptbox
