#pragma once
// A bounded look for Wine prefixes that no launcher this tool knows names:
// folders holding system.reg and drive_c, a few levels down each root (the
// home, the player's mounted drives), so that the next launcher's prefixes
// are found too.
#include "core/list.h"

namespace tolvaren {

// Folders this many levels below a root are the deepest looked into: a
// launcher's "~/.local/share/<launcher>/prefixes/<name>" is five down, and
// so is a Proton-style "<name>/pfx" there.
constexpr int kSweepLevels = 5;
// At most this many folders are listed below each root, so that a large
// drive leaves the home its own look.
constexpr std::size_t kMaxSweptFolders = 20000;

struct Sweep {
    List<Text> prefixes;  // in the order found, each root's shallow ones first
    List<Text> capped;    // the roots whose look stopped at kMaxSweptFolders
};

// Never into a prefix (its drive_c holds a whole Windows), a hidden cache,
// a version-control folder, a trash or Windows's own folders, nor through
// a symlink below a root or into `skipped` (mounts over the network).
Sweep SweepForPrefixes(const List<Text>& roots, const List<Text>& skipped);

}  // namespace tolvaren
