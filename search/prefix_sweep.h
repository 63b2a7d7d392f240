#pragma once
// A bounded look for Wine prefixes that no launcher this tool knows names:
// folders holding system.reg and drive_c, a few levels down each root (the
// home, the player's mounted drives), so that the next launcher's prefixes
// are found too.
#include "core/list.h"

namespace tolvaren {

// Folders this many levels below a root are the deepest looked into: a
// launcher's "~/.local/share/<launcher>/prefixes/<name>" is five down.
constexpr int kSweepLevels = 5;
// At most this many folders are listed in all: on a home of 500,000 files
// the look stays well under a second (make bench).
constexpr std::size_t kMaxSweptFolders = 20000;

struct Sweep {
    List<Text> prefixes;  // in the order found, shallow ones first
    bool capped = false;  // it stopped at kMaxSweptFolders
};

// Never into a prefix (its drive_c holds a whole Windows), a hidden cache,
// a version-control folder or a trash, and never through a symlink.
Sweep SweepForPrefixes(const List<Text>& roots);

}  // namespace tolvaren
