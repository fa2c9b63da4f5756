#!/usr/bin/env bash
# The descrypt command: round trips against OpenSSL's DES, and clear failures.
set -euo pipefail

descrypt=$1
passed=0
failed=0
expect() { # what, actual, expected
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); printf 'FAILED: %s\n got: %q\nwant: %q\n' "$1" "$2" "$3"; fi
}
openssl_hex() { # zero-filled message bytes on stdin
  openssl enc -des-ecb -provider legacy -provider default -nopad -K 1234567800000000 | xxd -p | tr -d '\n'
}

expect "encrypt an argument" "$("$descrypt" -e -k 12345678 'Hello, Velmora!')" \
  "$(printf 'Hello, Velmora!\0' | openssl_hex)"
expect "encrypt stdin, bytes as they are" "$(printf 'a\nb\0c' | "$descrypt" -e -k 12345678)" \
  "$(printf 'a\nb\0c\0\0\0' | openssl_hex)"
hex=$(printf '12345678' | openssl_hex)
expect "decrypt hex, upper case too" "$("$descrypt" -d -k 12345678 "${hex^^}")" 12345678
expect "decrypt hex from stdin with a line end" "$(echo "$hex" | "$descrypt" -d -k 12345678)" 12345678

for bad in "-e -k 1234 text" "-d -k 12345678 0011" "-d -k 12345678 zz112233445566778" "-x" ""; do
  # shellcheck disable=SC2086
  if "$descrypt" $bad </dev/null >/dev/null 2>"${TMPDIR:-/tmp}/descrypt.err"; then status=0; else status=$?; fi
  expect "fails: descrypt $bad" "$([ "$status" -ne 0 ] && [ -s "${TMPDIR:-/tmp}/descrypt.err" ] && echo refused)" refused
done

# -- ends the options: a message may begin with "-".
expect "-- then a message that begins with -" "$("$descrypt" -e -k 12345678 -- -n)" \
  "$(printf -- '-n\0\0\0\0\0\0' | openssl_hex)"

# A failed write is an error, not a success.
status_and_message() { # command... -> "exit code: first stderr line"
  local status=0
  "$@" 2>"${TMPDIR:-/tmp}/descrypt.err" || status=$?
  echo "$status: $(head -1 "${TMPDIR:-/tmp}/descrypt.err")"
}
expect "standard output on a full disk" \
  "$(status_and_message bash -c "'$descrypt' -e -k 12345678 hello </dev/null >/dev/full")" \
  "1: descrypt: cannot write the output"
expect "standard output closed" "$(status_and_message bash -c "'$descrypt' -d -k 12345678 $hex </dev/null >&-")" \
  "1: descrypt: cannot write the output"

# The limits: the largest message encrypts and its hex decrypts back; one byte more is
# refused, and an endless input is refused once the limit is passed, without reading on.
max_message=$((512 * 1024 * 1024 - 8))
expect "the largest message comes back" \
  "$(head -c "$max_message" /dev/zero | "$descrypt" -e -k 12345678 | "$descrypt" -d -k 12345678 | wc -c)" "$max_message"
expect "one byte more is refused" \
  "$(status_and_message bash -c "head -c $((max_message + 1)) /dev/zero | '$descrypt' -e -k 12345678 >/dev/null")" \
  "1: descrypt: input too large: at most $max_message message bytes"
expect "an endless hex input is refused at the limit" \
  "$(status_and_message timeout 120 bash -c "yes 0 | tr -d '\n' | '$descrypt' -d -k 12345678 >/dev/null")" \
  "1: descrypt: input too large: at most 1073741824 hex characters"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
