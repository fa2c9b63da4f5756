/* cryptbox: DES-ECB text encryption behind one C function. */
#ifndef CRYPTBOX_H
#define CRYPTBOX_H

#include <stdint.h>

#if defined(_WIN32)
#define CRYPTBOX_CALL __cdecl
#if defined(CRYPTBOX_BUILDING)
#define CRYPTBOX_API
#else
#define CRYPTBOX_API __declspec(dllimport)
#endif
#else
#define CRYPTBOX_CALL
#define CRYPTBOX_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* mode 1 encrypts `length` message bytes into lower-case hex text plus a NUL
 * (output needs 16 * ceil(length / 8) + 1 bytes); any other mode decrypts
 * `length` hex characters into bytes (output needs length / 2 bytes).
 * `key` must be exactly 8 characters, read as four hex pairs.
 * Returns 1 when done, 0 when refused; a refused call writes nothing. */
CRYPTBOX_API uint8_t CRYPTBOX_CALL Descrypt(uint8_t mode, const char *input, int32_t length,
                                           char *output, int32_t *output_len, const char *key);

#ifdef __cplusplus
}
#endif

#endif
