// Loads cryptbox.dll the way a caller would, and checks its export table.
#include <gtest/gtest.h>
#include <windows.h>

#include "descrypt_binding.h"

namespace cryptbox_test {
namespace {

using DescryptFn = std::uint8_t(__cdecl *)(std::uint8_t, const char *, std::int32_t, char *,
                                           std::int32_t *, const char *);

HMODULE Library() {
  static HMODULE module = LoadLibraryW(L"cryptbox.dll");
  return module;
}

// GetProcAddress gives a generic function pointer; the real type is the caller's to know.
template <typename Function>
Function Resolve(HMODULE module, const char *name) {
  return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

DescryptFn ByName() { return Resolve<DescryptFn>(Library(), "Descrypt"); }

TEST(CryptboxDll, ExportsDescryptByNameAndOrdinalOne) {
  ASSERT_NE(Library(), nullptr);
  const auto by_name = ByName();
  const auto by_ordinal = Resolve<DescryptFn>(Library(), MAKEINTRESOURCEA(1));
  ASSERT_NE(by_name, nullptr);
  EXPECT_EQ(by_name, by_ordinal);
  EXPECT_EQ(GetProcAddress(Library(), MAKEINTRESOURCEA(2)), nullptr);
  EXPECT_EQ(GetProcAddress(Library(), "_Descrypt"), nullptr);
  EXPECT_EQ(GetProcAddress(Library(), "Descrypt@24"), nullptr);
}

}  // namespace

ScanFunction RuntimeSscanf() { return Resolve<ScanFunction>(LoadLibraryW(L"msvcrt.dll"), "sscanf"); }

// Built without optimisation so ESP is read right around the call: a callee
// that popped its own arguments (stdcall) would leave ESP 24 bytes higher.
std::uint8_t CallDescrypt(std::uint8_t mode, const char *input, std::int32_t length, char *output,
                          std::int32_t *output_len, const char *key) {
  const DescryptFn fn = ByName();
#if defined(__i386__)
  std::uintptr_t before = 0, after = 0;
  asm volatile("movl %%esp, %0" : "=r"(before));
  const std::uint8_t result = fn(mode, input, length, output, output_len, key);
  asm volatile("movl %%esp, %0" : "=r"(after));
  EXPECT_EQ(before, after) << "stack not balanced after a cdecl call";
  return result;
#else
  return fn(mode, input, length, output, output_len, key);
#endif
}

}  // namespace cryptbox_test
