#pragma once
// Where the command-line tool writes: standard output and error. Plain C
// stdio rather than iostreams, which would make the Windows tool four times
// its size.
#include <cstdio>
#include <string_view>

#include "core/text.h"

namespace tolvaren {

class Output {
public:
    virtual ~Output() = default;
    virtual void Write(std::string_view text) = 0;
    // False when anything written so far could not be delivered.
    virtual bool Flush() = 0;
};

inline Output& operator<<(Output& output, std::string_view text) {
    output.Write(text);
    return output;
}
inline Output& operator<<(Output& output, char c) {
    output.Write(std::string_view(&c, 1));
    return output;
}

class FileOutput final : public Output {
public:
    explicit FileOutput(std::FILE* file) : file_(file) {}
    void Write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), file_); }
    bool Flush() override { return std::fflush(file_) == 0 && !std::ferror(file_); }

private:
    std::FILE* file_;
};

}  // namespace tolvaren
