#pragma once

#include <cstring>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>

namespace clickpath::platform::posix {

// The address of the Unix socket at `path`; none when the path does not fit
// in one (about 107 bytes).
inline std::optional<sockaddr_un> unixSocketAddress(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
}

} // namespace clickpath::platform::posix
