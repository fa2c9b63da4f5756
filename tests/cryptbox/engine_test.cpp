#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "my_encrypt.h"
#include "vectors.h"

using cryptbox::CMyEncrypt;
using namespace cryptbox_test;

namespace {

std::vector<std::uint8_t> Ecb(std::uint8_t mode, const std::vector<std::uint8_t> &input,
                              const char *key, std::uint8_t expected_result = 1) {
  CMyEncrypt engine;
  std::vector<std::uint8_t> output(input.size() + 16, 0xAA);
  int output_len = -1;
  EXPECT_EQ(engine.EcbCrypt(mode, input.data(), static_cast<int>(input.size()), output.data(),
                            &output_len, key),
            expected_result);
  if (expected_result == 0) {
    EXPECT_EQ(output_len, -1);
    EXPECT_EQ(output, std::vector<std::uint8_t>(input.size() + 16, 0xAA));
    return {};
  }
  output.resize(static_cast<std::size_t>(output_len));
  return output;
}

TEST(EcbCrypt, MatchesOpenSslDes) {
  for (const auto &v : kEcbVectors) {
    SCOPED_TRACE(std::string(v.key_text) + " " + v.message_hex);
    const auto message = FromHex(v.message_hex);
    const auto cipher = Ecb(1, message, v.key_text);
    EXPECT_EQ(ToHex(cipher.data(), cipher.size()), v.cipher_hex);
    // Decryption gives the message and its zero fill back.
    auto plain = Ecb(0, cipher, v.key_text);
    auto filled = message;
    filled.resize(cipher.size(), 0);
    EXPECT_EQ(plain, filled);
  }
}

TEST(EcbCrypt, ClassicVectorWithSixteenCharacterKey) {
  const std::string text = "Now is t";
  const auto cipher = Ecb(1, {text.begin(), text.end()}, "0123456789ABCDEF");
  EXPECT_EQ(ToHex(cipher.data(), cipher.size()), "3fa40e8a984d4815");
}

TEST(EcbCrypt, OutputLengthIsWholeBlocks) {
  for (auto [length, expected] : {std::pair{0, 0}, {1, 8}, {8, 8}, {9, 16}, {17, 24}}) {
    SCOPED_TRACE(length);
    EXPECT_EQ(Ecb(1, std::vector<std::uint8_t>(length, 'x'), "12345678").size(),
              static_cast<std::size_t>(expected));
  }
}

TEST(EcbCrypt, RefusesPartialBlocksAndBadKeysWithoutWriting) {
  Ecb(0, std::vector<std::uint8_t>(12, 1), "12345678", 0);
  for (const char *key : {static_cast<const char *>(nullptr), "", "123", "12345678901234567890123456789012345678"})
    Ecb(1, std::vector<std::uint8_t>(8, 1), key, 0);
}

TEST(EcbCrypt, KeyTextsThatNameTheSameKey) {
  const std::vector<std::uint8_t> message = {'s', 'e', 'c', 'r', 'e', 't', '!', 0};
  const auto reference = Ecb(1, message, "abcdef01");
  for (const char *same : {"ABCDEF01", "AbCdEf01", "abcdef0100000000",
                           "abcdef0100000000ffffffffffffffffffff"}) {  // 36: extra pairs unused
    SCOPED_TRACE(same);
    EXPECT_EQ(Ecb(1, message, same), reference);
  }
  EXPECT_NE(Ecb(1, message, "abcdef02"), reference);
}

TEST(EcbCrypt, WeakKeysAreTakenAsTheyAre) {
  // All-zero and all-one keys are DES weak keys; encrypting twice gives the message back.
  const std::vector<std::uint8_t> message = {1, 2, 3, 4, 5, 6, 7, 8};
  for (const char *key : {"0000000000000000", "0101010101010101", "FEFEFEFEFEFEFEFE"}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(Ecb(1, Ecb(1, message, key), key), message);
  }
}

struct CbcResult {
  std::uint8_t result = 0;
  std::vector<std::uint8_t> output;
  std::vector<std::uint8_t> input_after;
};

CbcResult Cbc(std::uint8_t mode, std::vector<std::uint8_t> input, const char *iv_text,
              std::size_t room = 8) {
  CMyEncrypt engine;
  const std::size_t length = input.size();
  input.resize(length + room, 0xEE);
  std::vector<std::uint8_t> output(length + room, 0xAA);
  int output_len = -1;
  CbcResult r;
  r.result = engine.CbcCrypt(mode, input.data(), static_cast<int>(length), output.data(),
                             &output_len, "12345678", iv_text);
  if (r.result) {
    r.output.assign(output.begin(), output.begin() + output_len);
    if (mode != 1) {
      EXPECT_EQ(output[static_cast<std::size_t>(output_len)], 0) << "terminator";
    }
  } else {
    EXPECT_EQ(output_len, -1);
  }
  r.input_after = input;
  return r;
}

TEST(CbcCrypt, MatchesOpenSslAndRoundTrips) {
  for (const auto &v : kCbcVectors) {
    SCOPED_TRACE(std::string(v.iv_text) + " " + v.message_hex);
    const auto message = FromHex(v.message_hex);
    const auto enc = Cbc(1, message, v.iv_text);
    ASSERT_EQ(enc.result, 1);
    EXPECT_EQ(ToHex(enc.output.data(), enc.output.size()), v.cipher_hex);
    const auto dec = Cbc(0, enc.output, v.iv_text);
    ASSERT_EQ(dec.result, 1);
    EXPECT_EQ(dec.output, message);
  }
}

TEST(CbcCrypt, PadsWithTheCountAlsoInTheInput) {
  for (auto [length, pad] : {std::pair{16, 8}, {13, 3}, {0, 8}}) {
    SCOPED_TRACE(length);
    const auto r = Cbc(1, std::vector<std::uint8_t>(length, 'm'), "");
    ASSERT_EQ(r.result, 1);
    EXPECT_EQ(r.output.size(), static_cast<std::size_t>(length + pad));
    for (int i = 0; i < pad; ++i) EXPECT_EQ(r.input_after[length + i], pad);
  }
}

TEST(CbcCrypt, RefusesCiphertextItCouldNotHaveMade) {
  EXPECT_EQ(Cbc(0, {}, "").result, 0);                              // nothing to read a count from
  EXPECT_EQ(Cbc(0, std::vector<std::uint8_t>(12, 1), "").result, 0);  // partial block
  // Encrypt blocks whose last byte decrypts to 0 and to 9 under a raw (padding-free) CBC.
  for (std::uint8_t bad : {0, 9, 200}) {
    SCOPED_TRACE(int(bad));
    std::vector<std::uint8_t> plain(16, bad);
    // CBC-encrypt without padding: two ECB blocks chained by hand through EcbCrypt.
    std::vector<std::uint8_t> block(plain.begin(), plain.begin() + 8);
    const std::string iv = cryptbox::kFixedIvText;
    for (int i = 0; i < 8; ++i) block[i] ^= static_cast<std::uint8_t>(iv[i]);
    auto c1 = Ecb(1, block, "12345678");
    std::vector<std::uint8_t> block2(plain.begin() + 8, plain.end());
    for (int i = 0; i < 8; ++i) block2[i] ^= c1[i];
    auto c2 = Ecb(1, block2, "12345678");
    c1.insert(c1.end(), c2.begin(), c2.end());
    const auto r = Cbc(0, c1, "");
    EXPECT_EQ(r.result, 0);
  }
}

}  // namespace
