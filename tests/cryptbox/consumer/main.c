/* Encrypts with the classic key text through the installed library and prints the hex. */
#include <stdio.h>

#include "cryptbox.h"

int main(void) {
  char hex[17];
  int32_t len = 0;
  if (!Descrypt(1, "12345678", 8, hex, &len, "12345678")) return 1;
  printf("%s\n", hex);
  return len == 16 ? 0 : 1;
}
