// Hostile layouts and property lists and their runners.
#pragma once

#include <string>

#include "hostile/HostileRow.h"

namespace hostile {

// A layout of exactly bytes bytes (a root node padded with spaces).
Make layoutOfBytes(size_t bytes);
// A root node with nodes - 1 children.
Make layoutOfNodes(int nodes);
// Nodes nested levels deep.
Make layoutOfNodeDepth(int levels);
// A root node whose unknown key holds arrays nested so that the JSON nests levels deep.
Make layoutOfJsonDepth(int levels);
// A Text whose box is number points wide.
Make layoutOfNumber(double number);
// Reads the sample as a layout: PASSES with a tree, REFUSED without.
Run readLayout();

// A pack login layout beside the program's own, the pack's lacking the node named missing ("" for none) and
// holding a Text of fontSize points.
Make packLogin(const std::string& missing, float fontSize = 28);
// Loads the login layout as the login does, the pack first: PASSES with the pack's, GIVEN_WAY with the own one.
Run loadLogin();

// A property list of exactly bytes bytes (one string padded).
Make plistOfBytes(size_t bytes);
// A property list of values values in all (one array and its items).
Make plistOfValues(int values);
// A value nested levels deep (arrays in arrays).
Make plistOfDepth(int levels);
// Reads the sample as a property list: PASSES with its key, REFUSED without.
Run readPlist();

} // namespace hostile
