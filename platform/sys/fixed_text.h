#pragma once
// Texts in fixed-size char arrays: every copy is bounded by the target's capacity and
// leaves the target NUL-terminated, whatever the source holds.

#include <cstddef>
#include <cstring>
#include <string_view>

// The text held in a fixed array: up to the first NUL, and never more than N - 1
// characters, so an array whose last byte is not NUL still reads as a proper text.
template <std::size_t N>
std::string_view FixedTextView(const char (&text)[N]) {
    static_assert(N > 0);
    const std::size_t length = strnlen(text, N - 1);
    return {text, length < N ? length : N - 1};  // the redundant bound is for gcc's -Warray-bounds
}

// Copies `source` into `target`, cut to N - 1 characters and NUL-terminated.
// Returns true when the whole text fitted. The two may overlap.
template <std::size_t N>
bool CopyFixedText(char (&target)[N], std::string_view source) {
    static_assert(N > 0);
    const std::size_t length = source.size() < N ? source.size() : N - 1;
    if (length > 0)  // an empty view may carry a null pointer, which memmove must not get
        std::memmove(target, source.data(), length);
    target[length] = '\0';
    return length == source.size();
}

// Array to array: the source is read only within its own capacity.
template <std::size_t N, std::size_t M>
bool CopyFixedText(char (&target)[N], const char (&source)[M]) {
    return CopyFixedText(target, FixedTextView(source));
}
