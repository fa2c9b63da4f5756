// cryptbox_bench: Descrypt throughput against raw mbed TLS DES-ECB (its limit)
// and OpenSSL's DES-ECB (a peer), on the same data, with the ratios.
#include <benchmark/benchmark.h>
#include <mbedtls/des.h>
#include <openssl/des.h>

#include <cstdio>
#include <cstring>
#include <tuple>
#include <map>
#include <string>
#include <vector>

#include "cryptbox.h"

namespace {

constexpr char kKeyText[] = "12345678";
const unsigned char kKeyBytes[8] = {0x12, 0x34, 0x56, 0x78, 0, 0, 0, 0};
constexpr std::int64_t kSizes[] = {64, 4 << 10, 1 << 20};

std::vector<char> Message(std::int64_t size) {
  std::vector<char> message(static_cast<std::size_t>(size));
  for (std::size_t i = 0; i < message.size(); ++i) message[i] = static_cast<char>(i * 131 + 7);
  return message;
}

std::vector<char> HexOf(const std::vector<char> &message) {
  std::vector<char> hex(message.size() * 2 + 17);
  std::int32_t len = 0;
  Descrypt(1, message.data(), static_cast<std::int32_t>(message.size()), hex.data(), &len, kKeyText);
  hex.resize(static_cast<std::size_t>(len));
  return hex;
}

void DescryptEncrypt(benchmark::State &state) {
  const auto message = Message(state.range(0));
  std::vector<char> out(message.size() * 2 + 17);
  std::int32_t len = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(Descrypt(1, message.data(), static_cast<std::int32_t>(message.size()),
                                      out.data(), &len, kKeyText));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void DescryptDecrypt(benchmark::State &state) {
  const auto hex = HexOf(Message(state.range(0)));
  std::vector<char> out(hex.size() / 2);
  std::int32_t len = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        Descrypt(0, hex.data(), static_cast<std::int32_t>(hex.size()), out.data(), &len, kKeyText));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

template <int Direction>
void MbedEcb(benchmark::State &state) {
  const auto message = Message(state.range(0));
  std::vector<unsigned char> out(message.size());
  for (auto _ : state) {
    mbedtls_des_context ctx;
    mbedtls_des_init(&ctx);
    if (Direction == MBEDTLS_DES_ENCRYPT)
      mbedtls_des_setkey_enc(&ctx, kKeyBytes);
    else
      mbedtls_des_setkey_dec(&ctx, kKeyBytes);
    for (std::size_t i = 0; i < message.size(); i += 8)
      mbedtls_des_crypt_ecb(&ctx, reinterpret_cast<const unsigned char *>(message.data()) + i,
                            out.data() + i);
    mbedtls_des_free(&ctx);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

template <int Direction>
void OpenSslEcb(benchmark::State &state) {
  const auto message = Message(state.range(0));
  // OpenSSL's block type drops const; give it its own copy.
  std::vector<unsigned char> in(message.begin(), message.end());
  std::vector<unsigned char> out(message.size());
  for (auto _ : state) {
    DES_key_schedule schedule;
    DES_cblock key;
    std::memcpy(key, kKeyBytes, 8);
    DES_set_key_unchecked(&key, &schedule);
    for (std::size_t i = 0; i < message.size(); i += 8)
      DES_ecb_encrypt(reinterpret_cast<const_DES_cblock *>(in.data() + i),
                      reinterpret_cast<DES_cblock *>(out.data() + i), &schedule, Direction);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void Register(const char *name, void (*fn)(benchmark::State &)) {
  auto *b = benchmark::RegisterBenchmark(name, fn);
  for (auto size : kSizes) b->Arg(size);
}

// Keeps each run's time per byte so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto &run : runs) {
      const auto bytes = run.counters.find("bytes_per_second");
      if (bytes != run.counters.end()) ns_per_byte_[run.benchmark_name()] = 1e9 / bytes->second.value;
    }
  }
  double NsPerByte(const std::string &name, std::int64_t size) const {
    const auto it = ns_per_byte_.find(name + "/" + std::to_string(size));
    return it == ns_per_byte_.end() ? 0 : it->second;
  }

 private:
  std::map<std::string, double> ns_per_byte_;
};

void PrintRatios(const RatioReporter &r) {
  std::printf("\nRatios (throughput of the first over the second; >= 0.97 is the target at 1 MiB)\n");
  for (auto [ours, limit, peer] :
       {std::tuple{"Descrypt_encrypt", "mbedtls_des_ecb_encrypt", "openssl_des_ecb_encrypt"},
        std::tuple{"Descrypt_decrypt", "mbedtls_des_ecb_decrypt", "openssl_des_ecb_decrypt"}}) {
    for (auto size : kSizes)
      std::printf("  %-18s %8lld B: %.3f x mbed TLS, %.3f x OpenSSL\n", ours,
                  static_cast<long long>(size), r.NsPerByte(limit, size) / r.NsPerByte(ours, size),
                  r.NsPerByte(peer, size) / r.NsPerByte(ours, size));
    const double flat = r.NsPerByte(ours, 1 << 20) / r.NsPerByte(ours, 4 << 10);
    std::printf("  %-18s time per byte 1 MiB / 4 KiB: %.3f (flat within 15%%: %s)\n", ours, flat,
                flat > 0.85 && flat < 1.15 ? "yes" : "no");
  }
}

}  // namespace

int main(int argc, char **argv) {
  Register("Descrypt_encrypt", DescryptEncrypt);
  Register("Descrypt_decrypt", DescryptDecrypt);
  Register("mbedtls_des_ecb_encrypt", MbedEcb<MBEDTLS_DES_ENCRYPT>);
  Register("mbedtls_des_ecb_decrypt", MbedEcb<MBEDTLS_DES_DECRYPT>);
  Register("openssl_des_ecb_encrypt", OpenSslEcb<DES_ENCRYPT>);
  Register("openssl_des_ecb_decrypt", OpenSslEcb<DES_DECRYPT>);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
