#pragma once

#include <memory>

class QQmlEngine;

/// The QML engine the shell's views share. It is made on first use, so a program that stays in
/// the tray loads no QML.
class ShellEngine
{
public:
    ShellEngine();
    ~ShellEngine();

    QQmlEngine& get();

private:
    std::unique_ptr<QQmlEngine> engine;
};
