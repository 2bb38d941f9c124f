#pragma once
// veltrano-script: runs a scenario file against a fresh program on the headless backend and
// prints what a person would see.
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano::script {

// A scenario that is wrong: unknown command, bad argument, action before start, ...
class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Splits one line into tokens (blanks separate; double quotes with escapes). Throws on a
// malformed line. When quoted is given, it tells for each token whether it was in quotes,
// so that "cancel" in quotes is a text and cancel without them is the keyword.
std::vector<std::string> Tokenize(const std::string& line, std::vector<bool>* quoted = nullptr);

// Quotes a string as the output shows it: escapes \r \n \t \" \\ and \xHH for other bytes.
std::string Quote(const std::string& bytes);

// A decimal or 0x number; throws ScenarioError otherwise.
long long Number(const std::string& token);
// A decimal or 0x number that fits an int; throws ScenarioError otherwise.
int Int(const std::string& token);
// Two upper-case hex digits of the low byte.
std::string Hex2(unsigned v);
// A file's whole content; throws ScenarioError when it cannot be read.
std::string ReadAll(const std::string& path);

class Driver {
  public:
    // scenarioDir: relative paths are taken from it; out receives what is printed.
    Driver(std::string scenarioDir, std::ostream& out);
    ~Driver();

    // Runs one line; throws ScenarioError (or a ScriptError from the form) when it is wrong.
    void RunLine(const std::string& line);
    // Runs a whole scenario text; the line number is added to an error's message.
    void RunText(const std::string& text);

    platform::headless::HeadlessForm& form() { return *form_; }
    Program* program() { return program_.get(); }

  private:
    void SetUp(const std::vector<std::string>& t);
    void Action(const std::vector<std::string>& t);
    void Key(const std::vector<std::string>& t);
    void Answer(const std::vector<std::string>& t);
    void World(const std::vector<std::string>& t);
    void Print(const std::vector<std::string>& t);
    // The printers behind "print WHAT", one small function each (Printers.cpp).
    struct Printers;
    bool IsWorldCommand(const std::string& c) const;

    std::string Resolve(const std::string& path) const;
    std::string SettingsDir() const;
    void StartProgram();
    void Restart(const std::vector<std::string>& t);
    std::string Mask(const std::string& text) const;
    void Emit(const std::string& line);
    void RequireStarted(const std::string& what) const;

    std::string scenarioDir_;
    std::ostream& out_;
    std::string tmpDir_;
    std::optional<std::string> programDir_;
    std::optional<std::string> documentsDir_;
    std::optional<std::string> settingsDir_;
    std::vector<platform::Rect> screens_; // set by `screens`; empty: the form's default
    std::uint16_t language_ = 0x0409;
    std::vector<std::string> args_; // the command line the program was started with
    std::unique_ptr<platform::headless::HeadlessForm> form_;
    std::unique_ptr<Program> program_;
    std::vector<bool> quoted_; // per token of the current line: written in quotes
    bool started_ = false;
    bool closed_ = false;
};

} // namespace veltrano::script
