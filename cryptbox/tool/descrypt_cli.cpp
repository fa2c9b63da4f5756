// descrypt: encrypt stdin or an argument to hex, or decrypt hex back, through Descrypt.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "cryptbox.h"

namespace {

struct Options {
  bool encrypt = false;
  bool decrypt = false;
  const char *key = nullptr;
  const char *text = nullptr;
};

int Usage() {
  std::fprintf(stderr,
               "usage: descrypt -e -k KEY [TEXT]   encrypt TEXT (or stdin) to hex\n"
               "       descrypt -d -k KEY [HEX]    decrypt HEX (or stdin) to bytes\n"
               "KEY is exactly 8 characters.\n");
  return 2;
}

bool ParseOptions(int argc, char **argv, Options &options) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-e") == 0) {
      options.encrypt = true;
    } else if (std::strcmp(argv[i], "-d") == 0) {
      options.decrypt = true;
    } else if (std::strcmp(argv[i], "-k") == 0 && i + 1 < argc) {
      options.key = argv[++i];
    } else if (!options.text && argv[i][0] != '-') {
      options.text = argv[i];
    } else {
      return false;
    }
  }
  return options.encrypt != options.decrypt && options.key != nullptr;
}

// Messages and plaintexts are bytes: no line-end translation on Windows.
void UseBinaryStdio() {
#if defined(_WIN32)
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

std::string ReadInput(const Options &options) {
  if (options.text) return options.text;
  std::string data;
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) data.append(chunk, got);
  return data;
}

// Hex read from a terminal or file usually ends in a line break.
void TrimLineEnd(std::string &text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
}

bool IsHexText(const std::string &text) {
  return text.size() % 16 == 0 &&
         text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

int Fail(const char *what) {
  std::fprintf(stderr, "descrypt: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return Usage();
  if (std::strlen(options.key) != 8) return Fail("the key must be exactly 8 characters");
  UseBinaryStdio();
  std::string input = ReadInput(options);
  if (options.decrypt) TrimLineEnd(input);
  if (input.empty()) return Fail("nothing to process");
  if (input.size() > INT32_MAX / 4) return Fail("input too large");
  if (options.decrypt && !IsHexText(input))
    return Fail("input is not hex text in whole 16-digit blocks");

  const std::size_t room = options.encrypt ? (input.size() + 7) / 8 * 16 + 1 : input.size() / 2;
  std::vector<char> output(room + 1);
  int32_t output_len = 0;
  if (!Descrypt(options.encrypt ? 1 : 0, input.data(), static_cast<int32_t>(input.size()),
                output.data(), &output_len, options.key))
    return Fail("refused");
  std::fwrite(output.data(), 1, static_cast<std::size_t>(output_len), stdout);
  if (options.encrypt) std::fputc('\n', stdout);
  return 0;
}
