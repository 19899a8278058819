// The outputs a run never writes, judged the same way by the run and by pixmora-batch's dry
// run: the source file itself, and what the writer leaves alone.
#pragma once

#include <string>

namespace pixmora {

enum class OutputRefusal { None, OwnSource, ReadOnly, Folder };

// Whether output names the source file itself (a fixed folder that is the source folder's
// parent, a file directly under the root): such an output is never written.
bool IsOwnSource(const std::string& source, const std::string& output);

// Why output would not be written for source now; None when it would.
OutputRefusal RefuseOutput(const std::string& source, const std::string& output);

}  // namespace pixmora
