// The program's global holders back to their start, so that no test sees what an earlier one in the same process
// left behind.
#pragma once

namespace support {

void resetProgramState();

} // namespace support
