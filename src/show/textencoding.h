#pragma once
// Show texts travel in the encoding they were written in. Shows from the
// platform the program came from carry Windows-1252 texts; shows written here
// carry UTF-8. The show table keeps the bytes as read; the console shows and
// edits UTF-8, so texts are decoded for display and encoded back when stored.
// Pure logic, any thread.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

enum class TextEncoding { Utf8, Windows1252 };

bool isValidUtf8(std::string_view s);

// A file's texts are UTF-8 when the whole file is valid UTF-8 (plain ASCII
// included), else Windows-1252.
TextEncoding detectEncoding(std::string_view wholeFile);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same
// number, so every byte survives a round trip.
std::string windows1252ToUtf8(std::string_view bytes);
// UTF-8 to Windows-1252; a character the code page cannot hold becomes "?".
std::string utf8ToWindows1252(std::string_view utf8);

// Stored bytes to the UTF-8 the console shows, and back.
std::string decodeStored(std::string_view stored, TextEncoding encoding);
std::string encodeStored(std::string_view utf8, TextEncoding encoding);

// Characters of a text in its encoding (bytes for Windows-1252, code points
// for UTF-8).
size_t characterCount(std::string_view text, TextEncoding encoding);

// Cuts a stored text to at most maxBytes bytes without splitting a character.
std::string_view cutStored(std::string_view text, size_t maxBytes, TextEncoding encoding);

// A VEDA= message for the IP devices, given as the console shows it (UTF-8):
// encoded as the show's texts are and padded with blanks to exactly 20
// characters of that encoding. Nothing when it holds more than 20 characters
// (the devices take exactly 20, so a longer message is never sent).
constexpr size_t kVedaCharacters = 20;
std::optional<std::string> vedaMessage(std::string_view utf8, TextEncoding encoding);

} // namespace orvane
