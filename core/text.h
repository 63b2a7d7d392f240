#pragma once
// Texts are 8-bit byte strings with an explicit length; they may hold NUL
// bytes and line breaks. All comparisons are byte-exact and case-sensitive.
//
// Text has the shape of std::string, but lives on malloc: the standard
// library's own string (and anything else that calls operator new) brings
// the runtime's exception support into a program, more than half of the
// shipped files. Memory that cannot be had calls the new-handler the front
// end set, like operator new, and aborts without one; TryResize is the one
// step that reports it instead, for buffers as large as a file says.
#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace tolvaren {

// `bytes` from malloc, or from the new-handler's second chance; never null.
void* AllocateOrGiveUp(std::size_t bytes);

class Text {
public:
    using value_type = char;
    using size_type = std::size_t;
    using iterator = char*;
    using const_iterator = const char*;
    static constexpr size_type npos = static_cast<size_type>(-1);

    Text() noexcept = default;
    Text(const char* text) : Text(std::string_view(text)) {}  // NOLINT: as std::string
    Text(const char* bytes, size_type count) : Text(std::string_view(bytes, count)) {}
    Text(size_type count, char c);
    Text(std::initializer_list<char> bytes) : Text(std::string_view(bytes.begin(), bytes.size())) {}
    explicit Text(std::string_view bytes);
    Text(const Text& other) : Text(std::string_view(other)) {}
    Text(Text&& other) noexcept { Swap(other); }
    Text& operator=(const Text& other);
    Text& operator=(Text&& other) noexcept;
    Text& operator=(const char* text) { return assign(std::string_view(text)); }
    ~Text();

    size_type size() const noexcept { return size_; }
    size_type length() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    const char* data() const noexcept { return bytes_ != nullptr ? bytes_ : ""; }
    char* data() noexcept { return bytes_ != nullptr ? bytes_ : empty_; }
    const char* c_str() const noexcept { return data(); }
    operator std::string_view() const noexcept { return {data(), size_}; }  // NOLINT

    // As std::string, [size()] is the terminating zero.
    char& operator[](size_type at) noexcept { return data()[at]; }
    char operator[](size_type at) const noexcept { return data()[at]; }
    char& front() noexcept { return bytes_[0]; }
    char front() const noexcept { return bytes_[0]; }
    char& back() noexcept { return bytes_[size_ - 1]; }
    char back() const noexcept { return bytes_[size_ - 1]; }
    iterator begin() noexcept { return data(); }
    iterator end() noexcept { return data() + size_; }
    const_iterator begin() const noexcept { return data(); }
    const_iterator end() const noexcept { return data() + size_; }

    Text& assign(std::string_view bytes);
    Text& assign(size_type count, char c);
    Text& append(std::string_view bytes);
    Text& append(const char* bytes, size_type count) { return append(std::string_view(bytes, count)); }
    Text& append(size_type count, char c);
    // At most `count` bytes from `at` of `other`.
    Text& append(std::string_view other, size_type at, size_type count) {
        return append(Part(other, at, count));
    }
    Text& operator+=(std::string_view bytes) { return append(bytes); }
    Text& operator+=(const Text& other) { return append(std::string_view(other)); }
    Text& operator+=(const char* text) { return append(std::string_view(text)); }
    Text& operator+=(char c) { return append(1, c); }
    void push_back(char c) { append(1, c); }
    void pop_back() noexcept { Terminate(size_ - 1); }
    void clear() noexcept { Terminate(0); }
    void resize(size_type count, char c = '\0');
    void reserve(size_type capacity);
    // resize and assign, but false (and the text unchanged) when the memory
    // cannot be had.
    [[nodiscard]] bool TryResize(size_type count, char c = '\0') noexcept;
    [[nodiscard]] bool TryAssign(std::string_view bytes) noexcept;
    Text& replace(size_type at, size_type count, std::string_view with);
    Text& replace(size_type at, size_type count, const char* with, size_type withCount) {
        return replace(at, count, std::string_view(with, withCount));
    }
    Text& erase(size_type at = 0, size_type count = npos);

    // Past-the-end `at` is empty; a part longer than the text ends with it.
    Text substr(size_type at = 0, size_type count = npos) const { return Text(Part(*this, at, count)); }
    size_type find(std::string_view what, size_type at = 0) const noexcept {
        return std::string_view(*this).find(what, at);
    }
    size_type find(char c, size_type at = 0) const noexcept { return std::string_view(*this).find(c, at); }
    size_type rfind(std::string_view what, size_type at = npos) const noexcept {
        return std::string_view(*this).rfind(what, at);
    }
    size_type rfind(char c, size_type at = npos) const noexcept { return std::string_view(*this).rfind(c, at); }
    size_type find_first_of(std::string_view set, size_type at = 0) const noexcept {
        return std::string_view(*this).find_first_of(set, at);
    }
    int compare(std::string_view other) const noexcept { return std::string_view(*this).compare(other); }
    // Of the part [at, at + count) with `other`.
    int compare(size_type at, size_type count, std::string_view other) const noexcept {
        return Part(*this, at, count).compare(other);
    }

private:
    static std::string_view Part(std::string_view of, size_type at, size_type count) noexcept {
        if (at > of.size()) return {};
        return {of.data() + at, count < of.size() - at ? count : of.size() - at};
    }
    void Grow(size_type atLeast);
    void Terminate(size_type size) noexcept {
        size_ = size;
        if (bytes_ != nullptr) bytes_[size] = '\0';
    }
    void Swap(Text& other) noexcept {
        std::swap(bytes_, other.bytes_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    static inline char empty_[1] = {};
    char* bytes_ = nullptr;  // capacity_ + 1 bytes, zero-terminated
    size_type size_ = 0;
    size_type capacity_ = 0;
};

inline bool operator==(const Text& a, const Text& b) noexcept {
    return std::string_view(a) == std::string_view(b);
}
inline bool operator==(const Text& a, const char* b) noexcept { return std::string_view(a) == b; }
inline bool operator==(const char* a, const Text& b) noexcept { return a == std::string_view(b); }
inline bool operator==(const Text& a, std::string_view b) noexcept { return std::string_view(a) == b; }
inline bool operator==(std::string_view a, const Text& b) noexcept { return a == std::string_view(b); }
template <class T>
bool operator!=(const Text& a, const T& b) noexcept { return !(a == b); }
inline bool operator!=(const char* a, const Text& b) noexcept { return !(a == b); }
inline bool operator<(const Text& a, const Text& b) noexcept {
    return std::string_view(a) < std::string_view(b);
}

inline Text operator+(Text a, const Text& b) { return std::move(a.append(std::string_view(b))); }
inline Text operator+(Text a, const char* b) { return std::move(a.append(std::string_view(b))); }
inline Text operator+(Text a, std::string_view b) { return std::move(a.append(b)); }
inline Text operator+(Text a, char b) { return std::move(a.append(1, b)); }
inline Text operator+(const char* a, const Text& b) { return Text(a).append(std::string_view(b)); }
inline Text operator+(std::string_view a, const Text& b) { return Text(a).append(std::string_view(b)); }
inline Text operator+(char a, const Text& b) { return Text(1, a).append(std::string_view(b)); }

// For printing where a stream is at hand (the tests), without bringing
// streams into what includes this.
template <class Stream>
auto operator<<(Stream& out, const Text& text) -> decltype(out << std::string_view()) {
    return out << std::string_view(text);
}

// The decimal digits of `number`, with a minus sign where negative.
Text DecimalText(long long number);

// 1-based position of the first occurrence of `search` at or after the
// 1-based `start`; 0 when there is none or `search` is empty.
std::size_t FindText(std::string_view text, std::string_view search, std::size_t start = 1);

// How 8-bit text from the platform is written: UTF-8, or an older code
// page, where bytes 0x80 to 0x9F are letters or parts of them (Shift-JIS
// "\x8C\xA9" is one letter).
enum class Encoding { Utf8, CodePage };

// `text` with every control character (C0, DEL, and C1 where the text is
// UTF-8) turned into '?', so that names from outside (a file's, a
// process's) cannot move the terminal or break a line.
Text Printable(Text text, Encoding encoding = Encoding::Utf8);

// At most the first few dozen bytes of `text`, printable, with "..." where
// it was cut: enough to recognise a value in a warning, whatever its size.
Text Excerpt(std::string_view text);

// Replaces every occurrence of `search`, found left to right without overlap;
// replaced bytes are never scanned again.
Text ReplaceAll(const Text& text, const Text& search, const Text& replacement);

// `text` with each "{name}" of `values` replaced by its value, in one pass,
// so that a value is never read as a placeholder itself.
struct Placeholder {
    std::string_view name;  // "{path}"
    std::string_view value;
};
Text Fill(std::string_view text, std::initializer_list<Placeholder> values);

}  // namespace tolvaren
