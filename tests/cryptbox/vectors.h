// Vectors from OpenSSL's DES (see tools/make-des-vectors.sh) and hex helpers for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cryptbox_test {

struct EcbVector {
  const char *key_text;
  const char *message_hex;
  const char *cipher_hex;
};

struct CbcVector {
  const char *key_text;
  const char *iv_text;
  const char *message_hex;
  const char *cipher_hex;
};

inline const EcbVector kEcbVectors[] = {
#include "des_vectors.inc"
};

inline const CbcVector kCbcVectors[] = {
#include "cbc_vectors.inc"
};

inline std::vector<std::uint8_t> FromHex(const std::string &hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

inline std::string ToHex(const std::uint8_t *bytes, std::size_t count) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (std::size_t i = 0; i < count; ++i) {
    hex += digits[bytes[i] >> 4];
    hex += digits[bytes[i] & 15];
  }
  return hex;
}

}  // namespace cryptbox_test
