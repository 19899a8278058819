// The response reader's byte source over an open connection, with the client's time limits.
#pragma once

#include <chrono>

#include "update/byte_source.h"
#include "update/tcp_socket.h"

namespace pixmora {

class SocketByteSource : public ByteSource {
public:
    SocketByteSource(TcpSocket& socket, std::chrono::milliseconds wait, SteadyTime deadline)
        : socket_(socket), wait_(wait), deadline_(deadline) {}
    std::size_t Receive(char* buffer, std::size_t capacity) override {
        return socket_.Receive(buffer, capacity, wait_, deadline_);
    }

private:
    TcpSocket& socket_;
    std::chrono::milliseconds wait_;
    SteadyTime deadline_;
};

}  // namespace pixmora
