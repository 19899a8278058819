// Name lookups on a thread of their own.
//
// The system's getaddrinfo has no time limit and cannot be interrupted, so the only way
// not to wait for a resolver that hangs is to stop waiting and leave the lookup behind.
// glibc's getaddrinfo_a does the lookup in the background too, but it is glibc's alone,
// gai_cancel cannot stop a request already under way, and an abandoned request's control
// block must then stay alive until glibc is done with it, announced by a signal or a thread
// of glibc's choosing. A plain thread sharing its result through a shared_ptr gives the same
// with standard C++ only: whichever of the waiter and the lookup ends last frees the shared
// state, and any lookup function, the tests' own included, runs the same way.
#include "update/host_lookup.h"

#include <cerrno>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include "update/http_errors.h"

namespace pixmora {

namespace {

// What the waiting caller and the lookup's thread share.
struct PendingLookup {
    PollableFlag done;
    std::mutex mutex;
    std::uint32_t address = 0;
    std::exception_ptr failure;
};

}  // namespace

std::uint32_t SystemHostLookup(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (status != 0) {
        if (status == EAI_SYSTEM) throw SocketError(errno);
        throw SocketError(status, gai_strerror(status));
    }
    const std::uint32_t address =
        ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return address;
}

std::uint32_t LookUpHost(const HostLookup& lookup, const std::string& name, SteadyTime until,
                         const PollableFlag& cancel) {
    auto pending = std::make_shared<PendingLookup>();
    try {
        std::thread([pending, lookup, name] {
            std::uint32_t address = 0;
            std::exception_ptr failure;
            try {
                address = lookup(name);
            } catch (...) {
                failure = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(pending->mutex);
                pending->address = address;
                // Moved, not copied: the failure's reference count then changes hands under
                // the lock only, and the waiter alone drops it.
                pending->failure = std::move(failure);
            }
            pending->done.Raise();
        }).detach();
    } catch (const std::system_error& e) {
        throw SocketError(e.code().value());
    }
    WaitUntilReady(pending->done.ReadableDescriptor(), POLLIN, until, cancel);
    std::exception_ptr failure;
    std::uint32_t address = 0;
    {
        std::lock_guard<std::mutex> lock(pending->mutex);
        failure = std::move(pending->failure);
        address = pending->address;
    }
    if (failure) std::rethrow_exception(failure);
    return address;
}

}  // namespace pixmora
