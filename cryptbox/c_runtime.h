/* The C runtime's own formatted scan and print, as Windows callers know them from msvcrt. */
#ifndef CRYPTBOX_C_RUNTIME_H
#define CRYPTBOX_C_RUNTIME_H

#ifdef __cplusplus
extern "C" {
#endif

/* What sscanf(text, format, &value) leaves in an unsigned value that held `start`. */
unsigned RuntimeScanUnsigned(const char *text, const char *format, unsigned start);
/* printf("%s", text): no line end. */
void RuntimePrintText(const char *text);

#ifdef __cplusplus
}
#endif

#endif
