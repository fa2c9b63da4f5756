#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "hex_text.h"
#include "hex_vector.h"
#include "messages.h"
#include "my_encrypt.h"

using cryptbox::CMyEncrypt;

namespace {

constexpr std::uint8_t kUntouched = 0xAA;

struct HexToBytesCase {
  const char *text;
  int out_size;
  std::uint8_t result;
  std::vector<std::uint8_t> decoded;
};

TEST(HexToBytes, DecodesOrRefusesWithoutWriting) {
  const HexToBytesCase cases[] = {
      {"", 10, 0, {}},
      {"123", 10, 0, {}},
      {"1234", 3, 0, {}},           // n/2 + 1
      {"1234", 4, 1, {0x12, 0x34}},  // n/2 + 2
      {"abCD", 10, 1, {0xab, 0xcd}},
      {"ABcd", 10, 1, {0xab, 0xcd}},
      {"zz5q", 10, 1, {0x00, 0x05}},  // no digit gives 0; digit then non-hex gives the digit
      {"0000000000000000000000000000000000ff", 20, 1,
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff}},  // 36 characters
      {"0000000000000000000000000000000000ff00", 20, 0, {}},        // 38 characters
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    CMyEncrypt engine;
    std::uint8_t out[24];
    std::memset(out, kUntouched, sizeof out);
    EXPECT_EQ(engine.HexToBytes(c.text, out, c.out_size), c.result);
    for (std::size_t i = 0; i < c.decoded.size(); ++i) EXPECT_EQ(out[i], c.decoded[i]) << i;
    // Only the decoded bytes are written: no terminator, nothing on refusal.
    EXPECT_EQ(out[c.decoded.size()], kUntouched);
  }
}

TEST(HexToBytes, RefusesNullTextAndNullBuffer) {
  CMyEncrypt engine;
  std::uint8_t out[4] = {};
  EXPECT_EQ(engine.HexToBytes(nullptr, out, 4), 0);
  EXPECT_EQ(engine.HexToBytes("12", nullptr, 4), 0);
}

TEST(HexToBytes, FollowsTheRuntimeScanForOddPairs) {
  // Spaces, signs and prefixes are the C runtime's business: compare with it directly.
  for (const char *text : {" 5A ", "+1-1", "0x0X", "-f7f"}) {
    SCOPED_TRACE(text);
    CMyEncrypt engine;
    std::uint8_t out[8] = {};
    ASSERT_EQ(engine.HexToBytes(text, out, 8), 1);
    for (std::size_t i = 0; i < std::strlen(text) / 2; ++i) {
      unsigned expected = 0;
      std::sscanf(text + 2 * i, "%02x", &expected);
      EXPECT_EQ(out[i], static_cast<std::uint8_t>(expected)) << i;
    }
  }
}

TEST(BytesToHex, RendersUpperCaseWithinTheBuffer) {
  const std::uint8_t data[] = {0x01, 0xAB, 0xF0};
  struct Case {
    int out_size;
    std::string expected;  // whole buffer
    bool refused;
  };
  const Case cases[] = {
      {5, std::string(5, '\xAA'), true},
      {6, "01ABF0", false},
      {8, std::string("01ABF0\0\0", 8), false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.out_size);
    CMyEncrypt engine;
    char out[8];
    std::memset(out, kUntouched, sizeof out);
    engine.BytesToHex(data, 3, out, c.out_size);
    EXPECT_EQ(std::string(out, c.out_size), c.expected);
    if (c.out_size < 8) {
      EXPECT_EQ(out[c.out_size], '\xAA') << "written beyond out size";
    }
    EXPECT_EQ(engine.ErrorText(), c.refused ? cryptbox::kHexRoomMessage : "");
  }
}

TEST(BytesToHex, RefusalMessageOutlivesLaterSuccess) {
  CMyEncrypt engine;
  const std::uint8_t data[] = {0x12};
  char out[4];
  engine.BytesToHex(data, 1, out, 1);
  engine.BytesToHex(data, 1, out, 4);
  EXPECT_STREQ(out, "12");
  EXPECT_EQ(engine.ErrorText(), cryptbox::kHexRoomMessage);
}

TEST(BytesToInt, ReadsUpToThreeBytesBigEndian) {
  const std::uint8_t data[] = {0xFF, 0xFE, 0xFD, 0xFC};
  struct Case {
    int count;
    int expected;
    bool refused;
  };
  const Case cases[] = {{0, 0, false}, {-1, 0, false}, {1, 0xFF, false},
                        {2, 0xFFFE, false}, {3, 0xFFFEFD, false}, {4, 0, true}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.count);
    CMyEncrypt engine;
    EXPECT_EQ(engine.BytesToInt(data, c.count), c.expected);
    EXPECT_EQ(engine.ErrorText(), c.refused ? cryptbox::kIntLengthMessage : "");
  }
}

TEST(RandomText, DrawsEightAlphabetCharacters) {
  const std::string alphabet = cryptbox::kRandomAlphabet;
  ASSERT_EQ(alphabet.size(), 62u);
  EXPECT_EQ(alphabet[14], 'e');
  EXPECT_EQ(alphabet[16], 'e');
  CMyEncrypt engine;
  std::srand(1);
  for (int round = 0; round < 200; ++round) {
    char out[10];
    std::memset(out, kUntouched, sizeof out);
    engine.RandomText(out);
    for (int i = 0; i < 8; ++i) {
      EXPECT_NE(alphabet.find(out[i]), std::string::npos);
      EXPECT_NE(out[i], 'g');
    }
    EXPECT_EQ(out[8], '\xAA');
  }
}

TEST(RandomText, FollowsTheRuntimeGenerator) {
  CMyEncrypt engine;
  std::srand(7);
  char out[8];
  engine.RandomText(out);
  std::srand(7);
  for (char c : out) EXPECT_EQ(c, cryptbox::kRandomAlphabet[std::rand() % 62]);
}

}  // namespace

namespace {

// The vector kernels against the table path: every byte value rendered, and every
// two-character pair at every place of a group decoded or, when not plain, stopped at.
TEST(HexVectors, AgreeWithTheTablePathOnEveryByteAndPair) {
  if (!cryptbox::CanUseHexVectors()) GTEST_SKIP() << "this processor has no AVX2";
  std::uint8_t bytes[256];
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  std::string by_vector(512, '?'), by_table(512, '?');
  EXPECT_EQ(cryptbox::RenderLowerHexVector(bytes, 256, by_vector.data()), 256u);
  cryptbox::RenderHex(bytes, 256, cryptbox::kLowerDigits, by_table.data());
  EXPECT_EQ(by_vector, by_table);

  for (int pair = 0; pair < 65536; ++pair) {
    const char hi = static_cast<char>(pair >> 8), lo = static_cast<char>(pair & 0xff);
    const std::size_t place = static_cast<std::size_t>(pair % 32);
    std::string text(64, 'e');
    text[2 * place] = hi;
    text[2 * place + 1] = lo;
    std::uint8_t out[32] = {};
    const std::size_t done = cryptbox::DecodePlainHexVector(text.data(), 32, out);
    int value = 0;
    if (cryptbox::ReadPlainPair(hi, lo, value)) {
      ASSERT_EQ(done, 32u) << pair;
      ASSERT_EQ(out[place], value) << pair;
      ASSERT_EQ(out[(place + 1) % 32], 0xee) << pair;
    } else {
      ASSERT_EQ(done, 0u) << pair;
    }
  }
}

}  // namespace
