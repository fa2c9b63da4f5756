// cryptbox_measure: one operation on a generated message, for the figures that
// tools/measure-cryptbox.sh prints.
//   cryptbox_measure des-encrypt|des-decrypt|descrypt-encrypt|descrypt-decrypt BYTES
//       runs it once; callgrind counts the instructions of measured_des_ecb or Descrypt
//   cryptbox_measure memory BYTES
//       prints the peak resident size each direction adds to the caller's own buffers
#include <mbedtls/des.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "cryptbox.h"

namespace {

constexpr char kKeyText[] = "12345678";
const unsigned char kKeyBytes[8] = {0x12, 0x34, 0x56, 0x78, 0, 0, 0, 0};

std::vector<char> Message(std::size_t size) {
  std::vector<char> message(size);
  for (std::size_t i = 0; i < size; ++i) message[i] = static_cast<char>(i * 131 + 7);
  return message;
}

// The message's ciphertext as lower-case hex, made without Descrypt so that a count of
// Descrypt's instructions holds the decryption alone.
std::vector<char> HexOf(const std::vector<char> &message) {
  mbedtls_des_context ctx;
  mbedtls_des_init(&ctx);
  mbedtls_des_setkey_enc(&ctx, kKeyBytes);
  std::vector<char> hex(message.size() * 2 + 1);
  unsigned char block[8];
  for (std::size_t i = 0; i < message.size(); i += 8) {
    mbedtls_des_crypt_ecb(&ctx, reinterpret_cast<const unsigned char *>(message.data()) + i, block);
    for (std::size_t j = 0; j < 8; ++j) std::snprintf(&hex[2 * (i + j)], 3, "%02x", block[j]);
  }
  mbedtls_des_free(&ctx);
  hex.pop_back();  // snprintf's terminator
  return hex;
}

long StatusKiB(const char *field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
  return -1;
}

// Peak resident size during the call beyond what the process held before it.
template <typename Call>
long PeakGrowthKiB(Call call) {
  std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak to the present size
  const long before = StatusKiB("VmRSS:");
  call();
  return StatusKiB("VmHWM:") - before;
}

void Memory(std::size_t size) {
  // A first small call brings the library's code in, which is no memory of the call's own.
  char warm_up[17];
  std::int32_t warm_up_len = 0;
  Descrypt(1, "x", 1, warm_up, &warm_up_len, kKeyText);
  std::vector<char> message = Message(size);
  std::vector<char> hex(size * 2 + 17, 1);
  std::int32_t len = 0;
  const long encrypt = PeakGrowthKiB([&] {
    Descrypt(1, message.data(), static_cast<std::int32_t>(size), hex.data(), &len, kKeyText);
  });
  hex.resize(static_cast<std::size_t>(len));
  std::vector<char> plain(hex.size() / 2, 1);
  const long decrypt = PeakGrowthKiB([&] {
    Descrypt(0, hex.data(), static_cast<std::int32_t>(hex.size()), plain.data(), &len, kKeyText);
  });
  std::printf("Descrypt on %zu MiB: peak resident beyond the caller's buffers: encrypt %ld KiB, decrypt %ld KiB\n",
              size >> 20, encrypt, decrypt);
}

}  // namespace

// The limit: mbed TLS's own one-block ECB over the same bytes, key schedule included.
extern "C" __attribute__((noinline)) void measured_des_ecb(int direction, const unsigned char *in,
                                                            std::size_t size, unsigned char *out) {
  mbedtls_des_context ctx;
  mbedtls_des_init(&ctx);
  if (direction == MBEDTLS_DES_ENCRYPT)
    mbedtls_des_setkey_enc(&ctx, kKeyBytes);
  else
    mbedtls_des_setkey_dec(&ctx, kKeyBytes);
  for (std::size_t i = 0; i < size; i += 8) mbedtls_des_crypt_ecb(&ctx, in + i, out + i);
  mbedtls_des_free(&ctx);
}

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: cryptbox_measure des-encrypt|des-decrypt|descrypt-encrypt|descrypt-decrypt|memory BYTES\n");
    return 2;
  }
  const std::string what = argv[1];
  const std::size_t size = std::strtoull(argv[2], nullptr, 10) / 8 * 8;
  if (what == "memory") {
    Memory(size);
    return 0;
  }
  const std::vector<char> message = Message(size);
  std::vector<unsigned char> out(size * 2 + 17);
  std::int32_t len = 0;
  if (what == "des-encrypt" || what == "des-decrypt") {
    measured_des_ecb(what == "des-encrypt" ? MBEDTLS_DES_ENCRYPT : MBEDTLS_DES_DECRYPT,
                     reinterpret_cast<const unsigned char *>(message.data()), size, out.data());
  } else if (what == "descrypt-encrypt") {
    Descrypt(1, message.data(), static_cast<std::int32_t>(size), reinterpret_cast<char *>(out.data()), &len, kKeyText);
  } else if (what == "descrypt-decrypt") {
    const std::vector<char> hex = HexOf(message);
    Descrypt(0, hex.data(), static_cast<std::int32_t>(hex.size()), reinterpret_cast<char *>(out.data()), &len, kKeyText);
  } else {
    return 2;
  }
  return 0;
}
