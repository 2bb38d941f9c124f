#pragma once
// The menu commands: one table from CommandId to the part that runs it, and whether the
// command can run now (Undo and Redo only with a step to take back or apply again).
#include <cstdint>
#include <span>

namespace veltrano {

class Program;

struct Command {
    std::int32_t id;
    void (*run)(Program& program, std::int32_t id);
    // Nothing: the command can always run.
    bool (*enabled)(const Program& program) = nullptr;
};

// The command with that id; nothing for ids that do nothing.
const Command* FindCommand(std::int32_t id);
// Every command, in the order of their ids.
std::span<const Command> Commands();

} // namespace veltrano
