#pragma once

// Common base of the board, its pieces and the game: one debugging hook that
// describes the object on the diagnostic channel.
class Object_class {
public:
    virtual void dump() const {}

protected:
    Object_class() = default;
    ~Object_class() = default;
    Object_class(const Object_class&) = default;
    Object_class& operator=(const Object_class&) = default;
};
