// CMyEncrypt: key texts to single-DES keys, ECB and CBC over byte buffers,
// and the small byte/text conversions that go with them.
#pragma once

#include <cstdint>
#include <string>

namespace cryptbox {

inline constexpr int kBlockSize = 8;
inline constexpr int kBinKeySize = 20;
inline constexpr char kFixedIvText[] = "19970523";
inline constexpr char kRandomAlphabet[] =
    "0123456789abcdefehijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr int kRandomTextLength = 8;

// Whole blocks needed for `length` bytes, in bytes.
inline std::int64_t PaddedLength(std::int64_t length) {
  return (length + kBlockSize - 1) / kBlockSize * kBlockSize;
}

class CMyEncrypt {
 public:
  CMyEncrypt() = default;
  virtual ~CMyEncrypt() = default;
  CMyEncrypt(const CMyEncrypt &) = delete;
  CMyEncrypt &operator=(const CMyEncrypt &) = delete;

  // mode 1 encrypts (zero fill up to the next block), anything else decrypts
  // whole blocks. Returns 1 done, 0 refused with nothing written.
  std::uint8_t EcbCrypt(std::uint8_t mode, const std::uint8_t *input, int length,
                        std::uint8_t *output, int *output_len, const char *key);
  // Pad-count padding, written into `input` too when encrypting.
  std::uint8_t CbcCrypt(std::uint8_t mode, std::uint8_t *input, int length, std::uint8_t *output,
                        int *output_len, const char *key, const char *iv_text);

  std::uint8_t HexToBytes(const char *text, std::uint8_t *out, int out_size);
  void BytesToHex(const std::uint8_t *data, int count, char *out, int out_size);
  int BytesToInt(const std::uint8_t *data, int count);
  void RandomText(char *out);

  // The engine keeps the latest refusal of BytesToHex / BytesToInt here.
  const std::string &ErrorText() const { return err_text; }

 private:
  std::string err_text;
};

}  // namespace cryptbox
