#pragma once
// Recognises a switched key at a position of the vehicle list. The switch asks
// this for every prefix byte it finds, so it is one hash, one table entry and
// one masked compare, without branches on the text.
#include <cstddef>

namespace tolvaren {

// True when one of the switched keys starts at `at`, with `left` bytes of the
// text from there on.
bool SwitchedKeyAt(const char* at, std::size_t left);

}  // namespace tolvaren
