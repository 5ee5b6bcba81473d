#pragma once
// Fields of the packed record and header may sit at unaligned addresses; gtest's assertions
// bind references to their arguments, so they are given copies.

template <class T> constexpr T Val(T Value) {
    return Value;
}
