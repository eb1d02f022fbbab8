#pragma once

#include <string>
#include <string_view>

// The program keeps every text in UTF-8; Windows names files, ports and
// registry values in UTF-16. Used by the Windows side of the platform edges.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// The system's own text of a Win32 error code, in UTF-8 without a line end.
std::string SystemErrorText(unsigned long error);
// The same for a system library that carries texts of its own error codes
// (wininet.dll for 12000 to 12999), falling back to the system's texts.
std::string LibraryErrorText(const wchar_t* library, unsigned long error);
