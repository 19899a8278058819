// Host names to IPv4 addresses, with a wait for the lookup that a time limit or a cancel
// can end while the lookup itself is left to finish on its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "update/cancellable_wait.h"
#include "update/pollable_flag.h"

namespace pixmora {

// A name to its first IPv4 address in host byte order (127.0.0.1 is 0x7F000001); failures
// are thrown, as SocketError for a name that cannot be found. Called on a thread of its own.
using HostLookup = std::function<std::uint32_t(const std::string& name)>;

// The system's lookup, IPv4 only.
std::uint32_t SystemHostLookup(const std::string& name);

// Runs `lookup` on a thread of its own and waits for its answer until `until`, throwing
// TimeLimitExpired then, or RequestCancelled as soon as `cancel` is raised. The lookup is
// then abandoned: it runs on to its end with copies of what it needs, and its answer is
// dropped.
std::uint32_t LookUpHost(const HostLookup& lookup, const std::string& name, SteadyTime until,
                         const PollableFlag& cancel);

}  // namespace pixmora
