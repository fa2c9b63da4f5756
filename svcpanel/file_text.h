// Whole-file reads and writes, and the ANSI code page both ways.
#pragma once

#include <string>

namespace svcpanel {

std::string ReadWholeFile(const std::wstring &path);
// Empties the file (creating it if need be) and writes the bytes.
void WriteWholeFile(const std::wstring &path, const std::string &bytes);

std::wstring DecodeAnsi(const std::string &bytes);
std::string EncodeAnsi(const std::wstring &text);

}  // namespace svcpanel
