#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tintwell::cli {

// One option a command accepts: "--name", optionally "-c", with or without a value.
struct OptionSpec {
    std::string name;  // without the leading "--"
    char shortName = 0;
    bool takesValue = false;
};

// Splits the arguments of one command into options and operands.
// Accepts "--name value", "--name=value", "-c value", "-cvalue" and bundled
// short flags ("-rq"); "--" ends the options; a lone "-" is an operand.
// Options may stand anywhere among the operands.
class CommandLine {
  public:
    explicit CommandLine(std::vector<OptionSpec> specs) : specs_(std::move(specs)) {}

    // False with LastError() for an unknown option or a missing value.
    bool Parse(const std::vector<std::string>& args);

    bool Has(const std::string& name) const;
    // The value given last for that option.
    std::optional<std::string> Value(const std::string& name) const;
    // Every value given for that option, in order.
    std::vector<std::string> Values(const std::string& name) const;
    // Which of the named options was given last, or "" when none was.
    std::string LastOf(const std::vector<std::string>& names) const;
    const std::vector<std::string>& Operands() const { return operands_; }
    const std::string& LastError() const { return lastError_; }

  private:
    const OptionSpec* FindLong(const std::string& name) const;
    const OptionSpec* FindShort(char c) const;
    bool Fail(std::string text);

    std::vector<OptionSpec> specs_;
    std::vector<std::pair<std::string, std::string>> given_;  // option name, value
    std::vector<std::string> operands_;
    std::string lastError_;
};

}  // namespace tintwell::cli
