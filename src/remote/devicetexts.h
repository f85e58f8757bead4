#pragma once
// The texts of the IP device protocol and of the device log, without any
// socket: messages to devices are exactly 20 characters ("ALIVE" + 15 spaces,
// commands from VEDA=, the "UCIM="/"UCVI=" headers that go before a file);
// answers are free text, two of which put a device to sleep and wake it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

constexpr uint16_t kDevicePort = 5555;
constexpr int kDeviceSlots = 128;
constexpr size_t kDeviceTextSize = 20;
constexpr int kNoDeviceNumber = -2;
// Device 1's connection, data and departure are never logged.
constexpr int kQuietDevice = 1;

// Log colours (0x00BBGGRR): teal for events, dark red for errors and for
// answers that do not start with "O".
constexpr uint32_t kLogTeal = 0x00808000;
constexpr uint32_t kLogDarkRed = 0x00000080;

extern const std::string_view kKeepAliveText; // "ALIVE" + 15 spaces

// The number after the last "." of a dotted address, kNoDeviceNumber without one.
int deviceNumberOf(std::string_view address);

// A VEDA= text that sends a file: "UCIM=" (image) or, failing that, "UCVI="
// (video) anywhere in it; the code is its sixth character and the file name
// runs from its seventh, without the trailing padding spaces.
struct FileCommand {
    bool video = false;
    char code = ' ';
    std::string name;
};
std::optional<FileCommand> fileCommandOf(std::string_view text);

// "UCIM=%c%10.10u    " or "UCVI=%c%10.10u    ".
std::string fileHeader(const FileCommand& command, uint32_t size);

// What a device's answer does to its sleeping flag.
enum class Answer { Other, EnterSleep, Wakeup };
Answer answerOf(std::string_view text);

// A received chunk as the device's text: up to its first NUL byte.
std::string_view receivedText(std::string_view bytes);

// A device's text as a log line may show it: at most maxChars characters
// (then "..."), control bytes and broken UTF-8 shown as "?".
std::string printableText(std::string_view text, size_t maxChars);

bool containsText(std::string_view text, std::string_view word);

} // namespace orvane
