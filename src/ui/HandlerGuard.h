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
