#!/usr/bin/env bash
# Remakes tests/cryptbox/des_vectors.inc and cbc_vectors.inc: ciphertexts from OpenSSL's DES.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/tests/cryptbox/des_vectors.inc

# key text | DES key OpenSSL gets (the text's hex pairs, then zero bytes; a non-hex pair is 00,
# a digit followed by a non-hex letter is that digit)
keys=(
  "12345678|1234567800000000"
  "abcdef01|abcdef0100000000"
  "ABCDEF01|abcdef0100000000"
  "fedcba98|fedcba9800000000"
  "zzzzzzzz|0000000000000000"
  "1g2h3i4j|0102030400000000"
)
# message bytes, as hex
messages=(
  "61"
  "3132333435363738"
  "313233343536373839"
  "6100620000630000ff"
  "00"
  "54686520717569636b2062726f776e20666f78206a756d7073206f76657221"
  "c4e3bac3a3accac0bde7"
)

des_hex() { # key_hex, plaintext_hex (whole blocks) -> ciphertext hex
  printf '%s' "$2" | xxd -r -p |
    openssl enc -des-ecb -provider legacy -provider default -nopad -K "$1" | xxd -p | tr -d '\n'
}

zero_fill() { # hex -> hex zero-filled to a multiple of 8 bytes
  local hex=$1
  while [ $(( ${#hex} % 16 )) -ne 0 ]; do hex+="00"; done
  printf '%s' "$hex"
}

{
  echo "// Made by tools/make-des-vectors.sh with:"
  echo "//   openssl enc -des-ecb -provider legacy -provider default -nopad -K <key>"
  echo "// over the message zero-filled to whole blocks. Do not edit by hand."
  echo "// {key text, message hex, ciphertext hex}"
  for entry in "${keys[@]}"; do
    key_text=${entry%%|*}
    key_hex=${entry#*|}
    for message in "${messages[@]}"; do
      printf '{"%s", "%s", "%s"},\n' "$key_text" "$message" "$(des_hex "$key_hex" "$(zero_fill "$message")")"
    done
  done
} >"$out"

# CBC: OpenSSL's PKCS#5 padding is the engine's pad-count padding. The IV is the
# characters of the IV text's last 8, or of "19970523" when it is shorter.
cbc_out=$root/tests/cryptbox/cbc_vectors.inc
ivs=(
  "|19970523"
  "1234567|19970523"
  "abcdefgh|abcdefgh"
  "wxyzabcdefgh|abcdefgh"
)
{
  echo "// Made by tools/make-des-vectors.sh with:"
  echo "//   openssl enc -des-cbc -provider legacy -provider default -K <key> -iv <iv>"
  echo "// Do not edit by hand. {key text, IV text, message hex, ciphertext hex}"
  for entry in "${ivs[@]}"; do
    iv_text=${entry%%|*}
    iv_hex=$(printf '%s' "${entry#*|}" | xxd -p)
    for message in "61" "3132333435363738" "31323334353637383930616263"; do
      cipher=$(printf '%s' "$message" | xxd -r -p |
        openssl enc -des-cbc -provider legacy -provider default -K 1234567800000000 -iv "$iv_hex" |
        xxd -p | tr -d '\n')
      printf '{"12345678", "%s", "%s", "%s"},\n' "$iv_text" "$message" "$cipher"
    done
  done
} >"$cbc_out"

# Every message length from 1 to 4100 bytes and a few around the library's 8 KiB pieces
# and beyond: message byte i is (i * 131 + 7) mod 256. ECB works block by block, so the
# ciphertexts of all the zero-filled messages, one after the other, are the ciphertext of
# their concatenation: its lower-case hex is summed with POSIX cksum (CRC and length).
sweep_out=$root/tests/cryptbox/length_sweep.inc
sweep_up_to=4100
sweep_extra="8191 8192 8193 16389 1048581"
sweep_lengths="$(seq -s ' ' 1 "$sweep_up_to") $sweep_extra"
sum=$(perl -e 'for my $n (@ARGV) { my $m = pack("C*", map { ($_ * 131 + 7) & 255 } 0 .. $n - 1);
                 $m .= "\0" x ((8 - $n % 8) % 8); print $m }' $sweep_lengths |
  openssl enc -des-ecb -provider legacy -provider default -nopad -K 1234567800000000 |
  xxd -p | tr -d '\n' | cksum)
{
  echo "// Made by tools/make-des-vectors.sh from OpenSSL's DES-ECB under key text 12345678. Do not edit by hand."
  echo "// Message lengths, and the POSIX cksum (CRC, length) of all their hex texts in that order."
  echo "inline constexpr int kSweepUpTo = $sweep_up_to;"
  echo "inline constexpr int kSweepExtraLengths[] = {${sweep_extra// /, }};"
  echo "inline constexpr std::uint32_t kSweepCksum = ${sum%% *}u;"
  echo "inline constexpr std::uint64_t kSweepHexLength = ${sum##* }u;"
} >"$sweep_out"

# The classic FIPS example, checked here too so the header names its source.
classic=$(des_hex 0123456789ABCDEF "$(printf 'Now is t' | xxd -p)")
[ "$classic" = 3fa40e8a984d4815 ] || { echo "OpenSSL disagrees with the classic vector: $classic" >&2; exit 1; }
echo "wrote $out, $cbc_out and $sweep_out"
