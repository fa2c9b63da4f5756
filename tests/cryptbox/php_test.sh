#!/usr/bin/env bash
# The PHP class over the native library, with the real php CLI and its FFI: ciphertexts
# against OpenSSL's DES, round trips, and each refusal as an exception that prints nothing.
set -euo pipefail

library=$1
class=$(cd "$(dirname "$0")/../../cryptbox/php" && pwd)/Cryptbox.php
# The messages as hex, OpenSSL's ciphertext of each zero-filled message, then what PHP says.
messages=(48656c6c6f2c2056656c6d6f72612100 61 3132333435363738 000102ff00 e4b8ade69687e6b58be8af95)
openssl_hex() { # message hex -> ciphertext hex of the zero-filled message
  local hex=$1
  while [ $((${#hex} % 16)) -ne 0 ]; do hex+=00; done
  printf '%s' "$hex" | xxd -r -p |
    openssl enc -des-ecb -provider legacy -provider default -nopad -K 1234567800000000 | xxd -p | tr -d '\n'
}
expected=""
for m in "${messages[@]}"; do expected+="$m $(openssl_hex "$m")"$'\n'; done

actual=$(php -n -d extension=ffi -d ffi.enable=1 -r '
  require $argv[1];
  $box = new Cryptbox($argv[2]);
  foreach (array_slice($argv, 3) as $m) {
    $hex = $box->encrypt(hex2bin($m), "12345678");
    $back = $box->decrypt(strtoupper($hex), "12345678");
    // Decryption hands back the zero fill of the last block.
    echo $m, " ", $hex, $back === str_pad(hex2bin($m), strlen($hex) / 2, "\0") ? "" : " (no round trip)", "\n";
  }
  foreach ([["encrypt", "", "12345678"], ["decrypt", "", "12345678"], ["encrypt", "x", "1234567"],
            ["encrypt", "x", "123456789"], ["encrypt", "x", "1234\0" . "678"], ["decrypt", "0011", "12345678"]] as [$f, $in, $key]) {
    try {
      $box->$f($in, $key);
      echo "$f: no exception\n";
    } catch (CryptboxException $e) {
      echo "$f: ", $e->getCode(), " ", $e->getMessage(), "\n";
    }
  }' 2>&1 -- "$class" "$library" "${messages[@]}")
expected+="encrypt: 1 加密串长度不正确
decrypt: 1 加密串长度不正确
encrypt: 2 秘钥必须为8位
encrypt: 2 秘钥必须为8位
encrypt: 2 秘钥必须为8位
decrypt: 3 hex text is not whole 8-byte blocks"

if [ "$actual" = "${expected%$'\n'}" ]; then
  echo "1 passed, 0 failed"
else
  diff <(echo "${expected%$'\n'}") <(echo "$actual") || true
  echo "0 passed, 1 failed"
  exit 1
fi
