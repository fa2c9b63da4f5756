// Whole-file reads and writes, and the ANSI code page both ways.
#pragma once

#include <string>

#include "templates.h"

namespace svcpanel {

std::string ReadWholeFile(const std::wstring &path);
// Empties the file (creating it if need be) and writes the bytes. Like the copy before it,
// it shares the file with readers, writers and deleters, so a viewer or scanner that has
// the file open does not make it fail.
void WriteWholeFile(const std::wstring &path, const std::string &bytes);

std::wstring DecodeAnsi(const std::string &bytes);
// The text in the ANSI code page; throws PanelError naming the text when the code page
// cannot hold it, rather than writing a "?" where a character was.
std::string EncodeAnsiExactly(const std::wstring &text);
LeadBytes AnsiLeadBytes();

}  // namespace svcpanel
