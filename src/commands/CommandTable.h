#pragma once
// The menu commands: one table from CommandId to the handler that runs it.
#include <cstdint>

namespace veltrano {

class Program;

struct Command {
    std::int32_t id;
    void (*run)(Program& program, std::int32_t id);
};

// The command with that id; nothing for ids that do nothing.
const Command* FindCommand(std::int32_t id);

} // namespace veltrano
