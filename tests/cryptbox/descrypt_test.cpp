// Descrypt as a caller sees it; runs natively and, through the DLL, under Wine.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "descrypt_binding.h"
#include "messages.h"
#include "vectors.h"

namespace {
#include "length_sweep.inc"
}

using namespace cryptbox_test;

namespace {

constexpr char kUntouched = '\x5A';

struct Call {
  std::uint8_t result = 0;
  std::int32_t output_len = -7;
  std::string output;   // the whole buffer
  std::string console;  // what was printed
};

Call RunDescrypt(std::uint8_t mode, const std::string &input, std::int32_t length, const char *key) {
  Call call;
  std::vector<char> output(input.size() * 2 + 40, kUntouched);
  testing::internal::CaptureStdout();
  call.result = CallDescrypt(mode, input.data(), length, output.data(), &call.output_len, key);
  std::fflush(stdout);
  call.console = testing::internal::GetCapturedStdout();
  call.output.assign(output.begin(), output.end());
  return call;
}

Call RunDescrypt(std::uint8_t mode, const std::string &input, const char *key = "12345678") {
  return RunDescrypt(mode, input, static_cast<std::int32_t>(input.size()), key);
}

bool Untouched(const Call &call) {
  return call.output_len == -7 && call.output.find_first_not_of(kUntouched) == std::string::npos;
}

TEST(Descrypt, RefusalsPrintTheirMessageAndWriteNothing) {
  struct Case {
    std::int32_t length;
    const char *key;
    const char *message;
  };
  const Case cases[] = {
      {0, "12345678", cryptbox::kLengthMessage},
      {-1, "12345678", cryptbox::kLengthMessage},
      {0, "1234567", cryptbox::kLengthMessage},  // the length check comes first
      {4, "1234567", cryptbox::kKeyMessage},
      {4, "123456789", cryptbox::kKeyMessage},
      {4, "", cryptbox::kKeyMessage},
  };
  for (std::uint8_t mode : {1, 0}) {
    for (const auto &c : cases) {
      SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(c.length) + " " + c.key);
      const Call call = RunDescrypt(mode, "abcd", c.length, c.key);
      EXPECT_EQ(call.result, 0);
      EXPECT_EQ(call.console, c.message);  // exact bytes, no line end
      EXPECT_TRUE(Untouched(call));
    }
  }
}

TEST(Descrypt, RefusesNullPointersWithoutTouchingThem) {
  char output[64];
  std::int32_t output_len = -7;
  EXPECT_EQ(CallDescrypt(1, nullptr, 4, output, &output_len, "12345678"), 0);
  EXPECT_EQ(CallDescrypt(1, "abcd", 4, nullptr, &output_len, "12345678"), 0);
  EXPECT_EQ(CallDescrypt(0, "abcd", 4, output, nullptr, "12345678"), 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(CallDescrypt(1, "abcd", 4, output, &output_len, nullptr), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), cryptbox::kKeyMessage);
  EXPECT_EQ(output_len, -7);
}

TEST(Descrypt, EncryptsToOpenSslCiphertextAndBack) {
  for (const auto &v : kEcbVectors) {
    SCOPED_TRACE(std::string(v.key_text) + " " + v.message_hex);
    const auto bytes = FromHex(v.message_hex);
    const std::string message(bytes.begin(), bytes.end());
    const Call enc = RunDescrypt(1, message, v.key_text);
    const std::string hex = v.cipher_hex;
    ASSERT_EQ(enc.result, 1);
    EXPECT_EQ(enc.output_len, static_cast<std::int32_t>(hex.size()));
    EXPECT_EQ(enc.output.substr(0, hex.size() + 1), hex + '\0');
    EXPECT_TRUE(enc.console.empty());

    const Call dec = RunDescrypt(0, hex, v.key_text);
    ASSERT_EQ(dec.result, 1);
    std::string filled = message;
    filled.resize(hex.size() / 2, '\0');
    EXPECT_EQ(dec.output_len, static_cast<std::int32_t>(filled.size()));
    EXPECT_EQ(dec.output.substr(0, filled.size()), filled);
    EXPECT_EQ(dec.output[filled.size()], kUntouched) << "no terminator after decrypted bytes";
  }
}

TEST(Descrypt, HexLengthFollowsTheMessageLength) {
  for (auto [length, hex_length] : {std::pair{1, 16}, {8, 16}, {9, 32}, {4, 16}, {17, 48}}) {
    SCOPED_TRACE(length);
    const Call call = RunDescrypt(1, std::string(length, 'q'));
    EXPECT_EQ(call.output_len, hex_length);
    EXPECT_EQ(call.output[hex_length], '\0');
    EXPECT_EQ(call.output[hex_length + 1], kUntouched);
  }
}

TEST(Descrypt, ReadsHexLeniently) {
  const std::string hex = RunDescrypt(1, "12345678").output.substr(0, 16);
  std::string upper = hex;
  for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string expected = "12345678";
  EXPECT_EQ(RunDescrypt(0, upper).output.substr(0, 8), expected);
  const Call odd = RunDescrypt(0, hex + "f");  // the 17th character is ignored
  EXPECT_EQ(odd.output_len, 8);
  EXPECT_EQ(odd.output.substr(0, 8), expected);
  const Call single = RunDescrypt(0, "a");
  EXPECT_EQ(single.result, 1);
  EXPECT_EQ(single.output_len, 0);
}

TEST(Descrypt, NonHexPairRepeatsThePreviousByte) {
  // "zz" gives no digit, so its byte repeats the pair before it; at the start it is 0.
  const Call a = RunDescrypt(0, "11zz223344556677");
  const Call b = RunDescrypt(0, "1111223344556677");
  EXPECT_EQ(a.output.substr(0, 8), b.output.substr(0, 8));
  const Call c = RunDescrypt(0, "zz11223344556677");
  const Call d = RunDescrypt(0, "0011223344556677");
  EXPECT_EQ(c.output.substr(0, 8), d.output.substr(0, 8));
}

// POSIX cksum: CRC-32 with polynomial 0x04C11DB7, most significant bit first, over the
// data and then its length in as few bytes as it takes, least significant first.
class Cksum {
 public:
  void Add(const char *data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) AddByte(static_cast<std::uint8_t>(data[i]));
    length_ += size;
  }
  std::uint32_t Finish() {
    for (std::uint64_t n = length_; n != 0; n >>= 8) AddByte(static_cast<std::uint8_t>(n));
    return ~crc_;
  }
  std::uint64_t Length() const { return length_; }

 private:
  void AddByte(std::uint8_t byte) {
    crc_ ^= static_cast<std::uint32_t>(byte) << 24;
    for (int bit = 0; bit < 8; ++bit) crc_ = (crc_ & 0x80000000u) ? (crc_ << 1) ^ 0x04C11DB7u : crc_ << 1;
  }
  std::uint32_t crc_ = 0;
  std::uint64_t length_ = 0;
};

// Every length from 1 to 4100 and a few around and beyond the library's pieces: the hex
// texts, one after the other, sum to what OpenSSL's do, and each decrypts back to its
// message and the zero fill of its last block.
TEST(Descrypt, EveryLengthMatchesOpenSslAndDecryptsBack) {
  std::vector<int> lengths;
  for (int length = 1; length <= kSweepUpTo; ++length) lengths.push_back(length);
  lengths.insert(lengths.end(), std::begin(kSweepExtraLengths), std::end(kSweepExtraLengths));
  Cksum sum;
  for (const int length : lengths) {
    std::string message(static_cast<std::size_t>(length), '\0');
    for (int i = 0; i < length; ++i) message[static_cast<std::size_t>(i)] = static_cast<char>(i * 131 + 7);
    std::vector<char> hex(static_cast<std::size_t>(length) * 2 + 17);
    std::int32_t hex_len = 0;
    ASSERT_EQ(CallDescrypt(1, message.data(), length, hex.data(), &hex_len, "12345678"), 1) << length;
    sum.Add(hex.data(), static_cast<std::size_t>(hex_len));
    std::vector<char> plain(static_cast<std::size_t>(hex_len) / 2);
    std::int32_t plain_len = 0;
    ASSERT_EQ(CallDescrypt(0, hex.data(), hex_len, plain.data(), &plain_len, "12345678"), 1) << length;
    message.resize(plain.size(), '\0');
    ASSERT_EQ(std::string(plain.begin(), plain.end()), message) << length;
  }
  EXPECT_EQ(sum.Length(), kSweepHexLength);
  EXPECT_EQ(sum.Finish(), kSweepCksum);
}

// Every two-character pair, in one text, decodes as the C runtime's own sscanf("%x")
// does, including what a pair that gives no digit leaves behind: the same ciphertext
// written in plain digits must decrypt to the same bytes.
TEST(Descrypt, DecodesEveryPairAsTheCRuntimesScan) {
  const ScanFunction runtime_sscanf = RuntimeSscanf();
  ASSERT_NE(runtime_sscanf, nullptr);
  std::string pairs, plain;
  unsigned nTemp = 0;
  const auto add = [&](char hi, char lo) {
    const char pair[3] = {hi, lo, '\0'};
    runtime_sscanf(pair, "%x", &nTemp);
    pairs.append(pair, 2);
    plain += "0123456789abcdef"[(nTemp >> 4) & 0xf];
    plain += "0123456789abcdef"[nTemp & 0xf];
  };
  for (int hi = 0; hi < 256; ++hi) {
    for (int lo = 0; lo < 256; ++lo) {
      // A run of plain pairs of changing length before each: long runs take the vector
      // path where there is one, and each pair ends a run at a different offset.
      for (int run = 0; run < (hi * 256 + lo) % 67; ++run) add("0aF9"[run % 4], "7Bc1"[run % 4]);
      add(static_cast<char>(hi), static_cast<char>(lo));
    }
  }
  while (pairs.size() % 16 != 0) add('5', 'a');
  const Call by_pairs = RunDescrypt(0, pairs);
  const Call by_plain = RunDescrypt(0, plain);
  ASSERT_EQ(by_pairs.output_len, static_cast<std::int32_t>(pairs.size() / 2));
  for (std::size_t block = 0; block < pairs.size() / 16; ++block) {
    ASSERT_EQ(by_pairs.output.substr(block * 8, 8), by_plain.output.substr(block * 8, 8))
        << "pairs " << block * 8 << " to " << block * 8 + 7 << ", first "
        << testing::PrintToString(pairs.substr(block * 16, 2));
  }
}

TEST(Descrypt, DecryptionOfPartialBlockIsRefused) {
  const Call call = RunDescrypt(0, "0011223344");  // 5 bytes: not a whole block
  EXPECT_EQ(call.result, 0);
  EXPECT_TRUE(call.console.empty());
  EXPECT_TRUE(Untouched(call));
}

TEST(Descrypt, AnyEightCharacterKeyIsAccepted) {
  const Call call = RunDescrypt(1, "message", "zzzzzzzz");
  EXPECT_EQ(call.result, 1);
  // Non-hex pairs decode to 0: the same key as "00000000".
  EXPECT_EQ(call.output, RunDescrypt(1, "message", "00000000").output);
}

}  // namespace
