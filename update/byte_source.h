// Where the response reader takes its bytes from: a connection, or memory in tests.
#pragma once

#include <cstddef>

namespace pixmora {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Waits for bytes and copies at most `capacity` of them; 0 means the peer has closed.
    // Failures (a broken connection, an expired time limit) are thrown.
    virtual std::size_t Receive(char* buffer, std::size_t capacity) = 0;
};

}  // namespace pixmora
