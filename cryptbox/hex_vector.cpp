#include "hex_vector.h"

#if defined(__x86_64__) || defined(__i386__)
#include <atomic>

#include <cpuid.h>
#include <immintrin.h>
#endif

namespace cryptbox {

#if defined(__x86_64__) || defined(__i386__)
namespace {

constexpr unsigned kOsxsave = 1u << 27;  // CPUID 1, ECX
constexpr unsigned kAvx2 = 1u << 5;      // CPUID 7, EBX
constexpr unsigned kYmmState = 6;        // XCR0: the system saves XMM and YMM state

unsigned long long XcrFeatures() {
  unsigned eax, edx;
  __asm__("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
  return (static_cast<unsigned long long>(edx) << 32) | eax;
}

#define AVX2 __attribute__((target("avx2")))

AVX2 __m256i Repeat16(char b0, char b1, char b2, char b3, char b4, char b5, char b6, char b7, char b8,
                      char b9, char b10, char b11, char b12, char b13, char b14, char b15) {
  return _mm256_broadcastsi128_si256(
      _mm_setr_epi8(b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15));
}

AVX2 __m256i HighNibbles(__m256i v) { return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0f)); }
AVX2 __m256i LowNibbles(__m256i v) { return _mm256_and_si256(v, _mm256_set1_epi8(0x0f)); }

// A character is a plain digit when the class of its high nibble (3: digits; 4, 6: letters)
// meets a class its low nibble allows (0-9 for digits, 1-6 for letters); 0 otherwise.
AVX2 __m256i DigitClasses(__m256i high, __m256i low) {
  const __m256i high_class = Repeat16(0, 0, 0, 1, 2, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i low_class = Repeat16(1, 3, 3, 3, 3, 3, 3, 1, 1, 1, 0, 0, 0, 0, 0, 0);
  return _mm256_and_si256(_mm256_shuffle_epi8(high_class, high), _mm256_shuffle_epi8(low_class, low));
}

// Pairs of digit values to bytes, high digit first: 16 words per register.
AVX2 __m256i PairValues(__m256i high, __m256i low) {
  const __m256i letter_offset = Repeat16(0, 0, 0, 0, 9, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i values = _mm256_add_epi8(low, _mm256_shuffle_epi8(letter_offset, high));
  return _mm256_maddubs_epi16(values, _mm256_set1_epi16(0x0110));
}

bool ProcessorHasAvx2() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & kOsxsave)) return false;
  if ((XcrFeatures() & kYmmState) != kYmmState) return false;
  return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & kAvx2);
}

}  // namespace

// CPUID is slow, and slower still in a virtual machine: ask once per process. Threads that
// race here all store the same answer.
bool CanUseHexVectors() {
  enum : int { kUnknown, kNo, kYes };
  static std::atomic<int> answer{kUnknown};
  int known = answer.load(std::memory_order_relaxed);
  if (known == kUnknown) {
    known = ProcessorHasAvx2() ? kYes : kNo;
    answer.store(known, std::memory_order_relaxed);
  }
  return known == kYes;
}

AVX2 std::size_t RenderLowerHexVector(const std::uint8_t *bytes, std::size_t count, char *out) {
  const __m256i digits = Repeat16('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f');
  std::size_t done = 0;
  for (; done + 32 <= count; done += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(bytes + done));
    const __m256i high = _mm256_shuffle_epi8(digits, HighNibbles(v));
    const __m256i low = _mm256_shuffle_epi8(digits, LowNibbles(v));
    // Interleaving works within each 128-bit lane: put the lanes back in byte order.
    const __m256i first = _mm256_unpacklo_epi8(high, low), second = _mm256_unpackhi_epi8(high, low);
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 2 * done), _mm256_permute2x128_si256(first, second, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 2 * done + 32), _mm256_permute2x128_si256(first, second, 0x31));
  }
  return done;
}

AVX2 std::size_t DecodePlainHexVector(const char *text, std::size_t pairs, std::uint8_t *out) {
  std::size_t done = 0;
  for (; done + 32 <= pairs; done += 32) {
    const __m256i c0 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(text + 2 * done));
    const __m256i c1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(text + 2 * done + 32));
    const __m256i high0 = HighNibbles(c0), low0 = LowNibbles(c0);
    const __m256i high1 = HighNibbles(c1), low1 = LowNibbles(c1);
    const __m256i classes = _mm256_min_epu8(DigitClasses(high0, low0), DigitClasses(high1, low1));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(classes, _mm256_setzero_si256())) != 0) break;
    // Packing also works within lanes: 0xd8 puts the four quarters back in order.
    const __m256i bytes = _mm256_packus_epi16(PairValues(high0, low0), PairValues(high1, low1));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + done), _mm256_permute4x64_epi64(bytes, 0xd8));
  }
  return done;
}

#else

bool CanUseHexVectors() { return false; }
std::size_t RenderLowerHexVector(const std::uint8_t *, std::size_t, char *) { return 0; }
std::size_t DecodePlainHexVector(const char *, std::size_t, std::uint8_t *) { return 0; }

#endif

}  // namespace cryptbox
