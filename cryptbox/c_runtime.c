/* C, not C++: MinGW's libstdc++ turns on MinGW's own stdio in every C++ file, and its
 * sscanf reads some odd pairs ("0x") differently from msvcrt's. Here the plain C
 * runtime is called: msvcrt on Windows, glibc on Linux. */
#define __USE_MINGW_ANSI_STDIO 0
#include <stdio.h>

#include "c_runtime.h"

unsigned RuntimeScanUnsigned(const char *text, const char *format, unsigned start) {
  unsigned value = start;
  sscanf(text, format, &value);
  return value;
}

void RuntimePrintText(const char *text) { printf("%s", text); }
