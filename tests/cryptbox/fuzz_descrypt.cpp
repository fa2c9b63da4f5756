// libFuzzer target: Descrypt and CbcCrypt decryption on arbitrary bytes, and
// the hex table against the C runtime's own scan.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cryptbox.h"
#include "hex_text.h"
#include "my_encrypt.h"

namespace {

void CheckHexScanAgreesWithRuntime(const std::uint8_t *data, std::size_t size) {
  if (size < 2) return;
  const char hi = static_cast<char>(data[0]), lo = static_cast<char>(data[1]);
  char szTemp[3] = {hi, lo, '\0'};
  unsigned expected = 0x5a5a;
  std::sscanf(szTemp, "%x", &expected);
  if (cryptbox::ScanHexPair(hi, lo, 0x5a5a) != expected) std::abort();
  if (hi != '\0' && lo != '\0') {
    unsigned iVal = 0;
    std::sscanf(szTemp, "%02x", &iVal);
    if (cryptbox::ScanHexAt(szTemp) != static_cast<int>(iVal)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  CheckHexScanAgreesWithRuntime(data, size);
  if (size < 10) return 0;
  const std::uint8_t mode = data[0] & 1;
  char key[9];
  std::memcpy(key, data + 1, 8);
  key[8] = '\0';
  // Exact-size copies so ASan sees any read past the caller's bytes.
  const std::vector<char> input(data + 9, data + size);
  const auto length = static_cast<std::int32_t>(input.size());

  std::vector<char> output(mode == 1 ? (input.size() + 7) / 8 * 16 + 1 : input.size() / 2 + 1);
  std::int32_t output_len = 0;
  if (Descrypt(mode, input.data(), length, output.data(), &output_len, key) &&
      (output_len < 0 || static_cast<std::size_t>(output_len) > output.size()))
    std::abort();

  std::vector<std::uint8_t> cipher(data + 9, data + size);
  std::vector<std::uint8_t> plain(cipher.size() + 1);
  int plain_len = 0;
  cryptbox::CMyEncrypt engine;
  if (engine.CbcCrypt(0, cipher.data(), static_cast<int>(cipher.size()), plain.data(), &plain_len,
                      "12345678", key) &&
      (plain_len < 0 || static_cast<std::size_t>(plain_len) >= cipher.size()))
    std::abort();
  return 0;
}
