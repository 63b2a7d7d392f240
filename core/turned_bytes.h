#pragma once
// A record of the bytes an in-place change turned from one value to another,
// so that the change can be taken back without a copy of the whole text.
#include <cstddef>
#include <vector>

namespace tolvaren {

class TurnedBytes {
public:
    TurnedBytes() = default;  // nothing turned
    // For a text of `textSize` bytes whose turned bytes all held `before`.
    TurnedBytes(std::size_t textSize, char before);

    void Turn(char* text, std::size_t position, char after) {
        text[position] = after;
        turned_[position] = true;
    }
    // Puts `before` back at every turned position.
    void Undo(char* text) const;

private:
    std::vector<bool> turned_;  // one bit per text byte
    char before_ = 0;
};

}  // namespace tolvaren
