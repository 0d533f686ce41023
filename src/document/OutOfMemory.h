#pragma once

#include "document/Prompts.h"

#include <QString>

// The message of a command that ran out of memory and therefore changed nothing.
namespace outofmemory {

// The caption of the general error display, this message's among them.
inline QString caption()
{
    return QStringLiteral("Tessarol 1.2");
}

inline QString text()
{
    return QStringLiteral("Nicht genügend Arbeitsspeicher, um den Befehl auszuführen.");
}

// Error icon, OK.
inline void show(Prompts &prompts)
{
    prompts.error(caption(), text());
}

} // namespace outofmemory
