#pragma once
// The command-line tool's output kept as text, for tests.
#include "cli/output.h"

namespace tolvaren::test {

class TextOutput final : public Output {
public:
    void Write(std::string_view text) override { text_.append(text); }
    bool Flush() override { return true; }
    const Text& text() const { return text_; }

private:
    Text text_;
};

}  // namespace tolvaren::test
