// The own-source guard before the writer's rules.
#include "engine/run/output_refusal.h"

#include <filesystem>
#include <system_error>

#include "engine/files/atomic_file_writer.h"

namespace pixmora {

bool IsOwnSource(const std::string& source, const std::string& output) {
    std::error_code ec;
    return std::filesystem::equivalent(source, output, ec) && !ec;
}

OutputRefusal RefuseOutput(const std::string& source, const std::string& output) {
    if (IsOwnSource(source, output)) return OutputRefusal::OwnSource;
    switch (DestinationRefusal(output)) {
        case TDestinationRefusal::ReadOnly:
            return OutputRefusal::ReadOnly;
        case TDestinationRefusal::Folder:
            return OutputRefusal::Folder;
        case TDestinationRefusal::None:
            break;
    }
    return OutputRefusal::None;
}

}  // namespace pixmora
