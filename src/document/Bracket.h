#pragma once

#include <exception>

// The one shape of the program's brackets (`UndoStep`, `FreshHistory`, the document's busy flag):
//
//   - the constructor opens the bracket; when it throws, the bracket was never open;
//   - the destructor closes it and never throws: what closing may need (memory above all) is taken
//     when the bracket opens, and what can still fail is caught where it fails;
//   - closing is told whether the scope is left by an exception (`unwinding`), so that it can take
//     back what the scope began instead of completing it.
class Bracket {
public:
    Bracket(const Bracket &) = delete;
    Bracket &operator=(const Bracket &) = delete;

protected:
    Bracket() = default;
    ~Bracket() = default;
    // Whether the scope the bracket closes is being left by an exception.
    bool unwinding() const noexcept { return std::uncaught_exceptions() > m_uncaught; }

private:
    int m_uncaught = std::uncaught_exceptions();
};
