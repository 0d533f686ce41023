#pragma once

#include "ui/Application.h"

#include <utility>

class Prompts;

// Runs the body of an event handler. An exception the body raises ends the command in the general
// error display (through prompts) instead of unwinding through Qt's signal dispatch, which cannot
// carry it.
template <class Body> void runHandler(Prompts *prompts, Body &&body) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (...) {
        Application::showCurrentException(prompts);
    }
}

// A slot that runs object's handler through runHandler, for connecting a signal to a handler.
template <class T, class... Args> auto guarded(Prompts *prompts, T *object, void (T::*handler)(Args...))
{
    return [prompts, object, handler](Args... args) { runHandler(prompts, [&] { (object->*handler)(args...); }); };
}
