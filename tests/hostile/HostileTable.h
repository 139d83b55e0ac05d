// The hostile table: every row of every door, one line each.
#pragma once

#include <vector>

#include "hostile/HostileRow.h"

namespace hostile {

const std::vector<Row>& table();

} // namespace hostile
