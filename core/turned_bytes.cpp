#include "core/turned_bytes.h"

namespace tolvaren {

TurnedBytes::TurnedBytes(std::size_t textSize, char before)
    : turned_(textSize), before_(before) {}

void TurnedBytes::Undo(char* text) const {
    for (std::size_t position = 0; position < turned_.size(); ++position)
        if (turned_[position]) text[position] = before_;
}

}  // namespace tolvaren
