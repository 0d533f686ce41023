#pragma once
#include <QByteArray>
#include <string>
