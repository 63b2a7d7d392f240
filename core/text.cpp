#include "core/text.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace tolvaren {
namespace {

// Room for `capacity` bytes and the terminating zero; null when it cannot be had.
char* TryAllocate(std::size_t capacity) noexcept {
    if (capacity >= static_cast<std::size_t>(-1) / 2) return nullptr;
    return static_cast<char*>(std::malloc(capacity + 1));
}

}  // namespace

void* AllocateOrGiveUp(std::size_t bytes) {
    for (;;) {
        if (void* memory = std::malloc(bytes != 0 ? bytes : 1)) return memory;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) std::abort();
        handler();
    }
}

Text::Text(size_type count, char c) { assign(count, c); }

Text::Text(std::string_view bytes) { assign(bytes); }

Text& Text::operator=(const Text& other) {
    if (this != &other) assign(std::string_view(other));
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    Text taken(std::move(other));
    Swap(taken);
    return *this;
}

Text::~Text() { std::free(bytes_); }

void Text::Grow(size_type atLeast) {
    if (atLeast <= capacity_) return;
    size_type capacity = atLeast > 2 * capacity_ ? atLeast : 2 * capacity_;
    char* grown = TryAllocate(capacity);
    if (grown == nullptr) {  // the doubling may be what does not fit
        capacity = atLeast;
        grown = static_cast<char*>(AllocateOrGiveUp(capacity + 1));
    }
    if (size_ > 0) std::memcpy(grown, bytes_, size_);
    std::free(bytes_);
    bytes_ = grown;
    capacity_ = capacity;
    Terminate(size_);
}

void Text::reserve(size_type capacity) { Grow(capacity); }

Text& Text::assign(std::string_view bytes) {
    if (bytes.data() >= data() && bytes.data() < data() + size_) return *this = Text(bytes);  // a part of itself
    Grow(bytes.size());
    if (!bytes.empty()) std::memcpy(bytes_, bytes.data(), bytes.size());
    Terminate(bytes.size());
    return *this;
}

Text& Text::assign(size_type count, char c) {
    clear();
    return append(count, c);
}

Text& Text::append(std::string_view bytes) {
    if (bytes.empty()) return *this;
    if (bytes.data() >= data() && bytes.data() < data() + size_) return append(Text(bytes));
    Grow(size_ + bytes.size());
    std::memcpy(bytes_ + size_, bytes.data(), bytes.size());
    Terminate(size_ + bytes.size());
    return *this;
}

Text& Text::append(size_type count, char c) {
    if (count == 0) return *this;
    Grow(size_ + count);
    std::memset(bytes_ + size_, c, count);
    Terminate(size_ + count);
    return *this;
}

void Text::resize(size_type count, char c) {
    if (count <= size_) return Terminate(count);
    append(count - size_, c);
}

bool Text::TryResize(size_type count, char c) noexcept {
    if (count > capacity_) {
        char* grown = TryAllocate(count);
        if (grown == nullptr) return false;
        if (size_ > 0) std::memcpy(grown, bytes_, size_);
        std::free(bytes_);
        bytes_ = grown;
        capacity_ = count;
    }
    if (count > size_) std::memset(bytes_ + size_, c, count - size_);
    Terminate(count);
    return true;
}

bool Text::TryAssign(std::string_view bytes) noexcept {
    if (bytes.size() > capacity_) {
        char* room = TryAllocate(bytes.size());
        if (room == nullptr) return false;
        std::free(bytes_);
        bytes_ = room;
        capacity_ = bytes.size();
    }
    if (!bytes.empty()) std::memmove(bytes_, bytes.data(), bytes.size());
    Terminate(bytes.size());
    return true;
}

Text& Text::replace(size_type at, size_type count, std::string_view with) {
    const std::string_view self(*this);
    Text result(Part(self, 0, at));
    result.append(with).append(self, at + Part(self, at, count).size(), npos);
    return *this = std::move(result);
}

Text& Text::erase(size_type at, size_type count) { return replace(at, count, std::string_view()); }

Text DecimalText(long long number) {
    char digits[24];
    std::size_t at = sizeof digits;
    unsigned long long magnitude = number < 0 ? 0ULL - static_cast<unsigned long long>(number)
                                              : static_cast<unsigned long long>(number);
    do {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) digits[--at] = '-';
    return Text(digits + at, sizeof digits - at);
}

std::size_t FindText(std::string_view text, std::string_view search, std::size_t start) {
    if (search.empty() || start == 0) return 0;
    const std::size_t found = text.find(search, start - 1);
    return found == std::string_view::npos ? 0 : found + 1;
}

Text Printable(Text text, Encoding encoding) {
    Text shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        // U+0080 to U+009F in UTF-8: controls that terminals also act on.
        const bool c1 = encoding == Encoding::Utf8 && byte == 0xC2 && at + 1 < text.size() &&
                        (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0x80;
        if (c1) ++at;
        shown += byte < 0x20 || byte == 0x7F || c1 ? '?' : text[at];
    }
    return shown;
}

Text Excerpt(std::string_view text) {
    constexpr std::size_t kExcerptBytes = 40;
    if (text.size() <= kExcerptBytes) return Printable(Text(text));
    return Printable(Text(text.data(), kExcerptBytes)) + "...";
}

Text ReplaceAll(const Text& text, const Text& search, const Text& replacement) {
    if (search.empty() || text.size() < search.size()) return text;
    Text result;
    result.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t at = text.find(search); at != Text::npos; at = text.find(search, copied)) {
        result.append(text, copied, at - copied).append(replacement);
        copied = at + search.size();
    }
    return result.append(text, copied, Text::npos);
}

Text Fill(std::string_view text, std::initializer_list<Placeholder> values) {
    Text filled;
    for (std::size_t at = 0; at < text.size();) {
        const Placeholder* match = nullptr;
        for (const Placeholder& value : values)
            if (text.size() - at >= value.name.size() &&
                std::memcmp(text.data() + at, value.name.data(), value.name.size()) == 0)
                match = &value;
        if (match == nullptr) {
            filled += text[at++];
            continue;
        }
        filled += match->value;
        at += match->name.size();
    }
    return filled;
}

}  // namespace tolvaren
