#pragma once
// Texts handed to the registry through fixed, zero-filled, zero-terminated
// buffers.
#include <cstddef>

#include "core/text.h"

namespace tolvaren {

template <std::size_t Size>
class FixedText {
public:
    // Copies at most Size - 1 bytes, ending early at a zero byte.
    explicit FixedText(const Text& text) : cut_(!FitsWhole(text)) {
        for (std::size_t i = 0; i < text.size() && i < Size - 1 && text[i] != '\0'; ++i)
            bytes_[i] = text[i];
    }
    const char* c_str() const { return bytes_; }
    // True when the copy lost bytes, and so would name something else.
    bool WasCut() const { return cut_; }

    static bool FitsWhole(const Text& text) {
        return text.size() <= Size - 1 && text.find('\0') == Text::npos;
    }

private:
    char bytes_[Size] = {};
    bool cut_;
};

}  // namespace tolvaren
