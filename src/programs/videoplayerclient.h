#pragma once
// The client end of the video player's local socket "ovvideoplayer" (VP=):
// connected on demand, one message a command (a 4-byte little-endian length,
// then the command's bytes, no terminator), dropped after a failed write so the
// next command connects again. User-interface thread only; never blocks.

#include <string>
#include <string_view>

namespace orvane {

constexpr const char* kVideoPlayerSocket = "ovvideoplayer";

// The folder of the program's local sockets: $ORVANE_PIPE_DIR, else
// $XDG_RUNTIME_DIR/orvane, else /tmp/orvane-<uid>.
std::string pipeDirectory();

class VideoPlayerClient {
public:
    // An empty path means pipeDirectory() + "/ovvideoplayer", looked up at
    // every connection attempt.
    explicit VideoPlayerClient(std::string socketPath = {});
    ~VideoPlayerClient();
    VideoPlayerClient(const VideoPlayerClient&) = delete;
    VideoPlayerClient& operator=(const VideoPlayerClient&) = delete;

    // Connects when not connected, then writes the message. False when there is
    // no player to connect to or the write failed (the connection is then
    // dropped).
    bool send(std::string_view command);
    bool connected() const { return m_fd >= 0; }
    void disconnect();

private:
    bool connect();
    std::string path() const;

    std::string m_path;
    int m_fd = -1;
};

} // namespace orvane
