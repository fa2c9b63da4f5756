// descrypt: encrypt stdin or an argument to hex, or decrypt hex back, through Descrypt.
#include <algorithm>
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

// Every message it encrypts can be decrypted back: its hex text, line end included, stays
// within the decryption limit, which Descrypt's own 32-bit lengths allow.
constexpr std::size_t kMaxMessage = (std::size_t{512} << 20) - 8;
constexpr std::size_t kMaxHex = std::size_t{1} << 30;
constexpr std::size_t kLineEnd = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: descrypt -e -k KEY [--] [TEXT]   encrypt TEXT (or stdin) to hex\n"
               "       descrypt -d -k KEY [--] [HEX]    decrypt HEX (or stdin) to bytes\n"
               "KEY is exactly 8 characters; -- ends the options, so TEXT may begin with -.\n"
               "At most %zu message bytes or %zu hex characters.\n",
               kMaxMessage, kMaxHex);
  return 2;
}

bool ParseOptions(int argc, char **argv, Options &options) {
  bool only_text = false;
  for (int i = 1; i < argc; ++i) {
    if (only_text || argv[i][0] != '-') {
      if (options.text) return false;
      options.text = argv[i];
    } else if (std::strcmp(argv[i], "--") == 0) {
      only_text = true;
    } else if (std::strcmp(argv[i], "-e") == 0) {
      options.encrypt = true;
    } else if (std::strcmp(argv[i], "-d") == 0) {
      options.decrypt = true;
    } else if (std::strcmp(argv[i], "-k") == 0 && i + 1 < argc) {
      options.key = argv[++i];
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

// The argument, or standard input read up to one byte past `limit`: an oversize input is
// known as soon as that byte arrives, and the rest is never read.
std::string ReadInput(const Options &options, std::size_t limit) {
  if (options.text) return options.text;
  std::string data;
  char chunk[65536];
  std::size_t got;
  while (data.size() <= limit &&
         (got = std::fread(chunk, 1, std::min(sizeof chunk, limit + 1 - data.size()), stdin)) > 0)
    data.append(chunk, got);
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

bool Write(const char *data, std::size_t size) {
  return std::fwrite(data, 1, size, stdout) == size;
}

}  // namespace

int main(int argc, char **argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return Usage();
  if (std::strlen(options.key) != 8) return Fail("the key must be exactly 8 characters");
  UseBinaryStdio();
  const std::size_t limit = options.encrypt ? kMaxMessage : kMaxHex;
  std::string input = ReadInput(options, options.encrypt ? limit : limit + kLineEnd);
  if (options.decrypt) TrimLineEnd(input);
  if (input.size() > limit) {
    std::fprintf(stderr, "descrypt: input too large: at most %zu %s\n", limit,
                 options.encrypt ? "message bytes" : "hex characters");
    return 1;
  }
  if (input.empty()) return Fail("nothing to process");
  if (options.decrypt && !IsHexText(input))
    return Fail("input is not hex text in whole 16-digit blocks");

  const std::size_t room = options.encrypt ? (input.size() + 7) / 8 * 16 + 1 : input.size() / 2;
  std::vector<char> output(room + 1);
  int32_t output_len = 0;
  if (!Descrypt(options.encrypt ? 1 : 0, input.data(), static_cast<int32_t>(input.size()),
                output.data(), &output_len, options.key))
    return Fail("refused");
  const bool written = Write(output.data(), static_cast<std::size_t>(output_len)) &&
                       (!options.encrypt || Write("\n", 1)) && std::fflush(stdout) == 0;
  if (!written) return Fail("cannot write the output");
  return 0;
}
