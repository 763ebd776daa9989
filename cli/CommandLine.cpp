#include "cli/CommandLine.h"

namespace tintwell::cli {

bool CommandLine::Fail(std::string text) {
    lastError_ = std::move(text);
    return false;
}

const OptionSpec* CommandLine::FindLong(const std::string& name) const {
    for (const OptionSpec& s : specs_)
        if (s.name == name) return &s;
    return nullptr;
}

const OptionSpec* CommandLine::FindShort(char c) const {
    for (const OptionSpec& s : specs_)
        if (s.shortName != 0 && s.shortName == c) return &s;
    return nullptr;
}

bool CommandLine::Parse(const std::vector<std::string>& args) {
    given_.clear();
    operands_.clear();
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg[1] == '-') {
            const std::size_t eq = arg.find('=');
            const std::string name = arg.substr(2, eq == std::string::npos ? eq : eq - 2);
            const OptionSpec* spec = FindLong(name);
            if (!spec) return Fail("unknown option \"--" + name + "\"");
            if (!spec->takesValue) {
                if (eq != std::string::npos) return Fail("\"--" + name + "\" takes no value");
                given_.emplace_back(spec->name, "");
            } else if (eq != std::string::npos) {
                given_.emplace_back(spec->name, arg.substr(eq + 1));
            } else if (i + 1 < args.size()) {
                given_.emplace_back(spec->name, args[++i]);
            } else {
                return Fail("\"--" + name + "\" needs a value");
            }
            continue;
        }
        // One or more short options bundled; a value may follow the letter.
        for (std::size_t k = 1; k < arg.size(); ++k) {
            const OptionSpec* spec = FindShort(arg[k]);
            if (!spec) return Fail("unknown option \"-" + std::string(1, arg[k]) + "\"");
            if (!spec->takesValue) {
                given_.emplace_back(spec->name, "");
                continue;
            }
            if (k + 1 < arg.size()) {
                given_.emplace_back(spec->name, arg.substr(k + 1));
            } else if (i + 1 < args.size()) {
                given_.emplace_back(spec->name, args[++i]);
            } else {
                return Fail("\"-" + std::string(1, arg[k]) + "\" needs a value");
            }
            break;
        }
    }
    return true;
}

bool CommandLine::Has(const std::string& name) const {
    for (const auto& [n, v] : given_)
        if (n == name) return true;
    return false;
}

std::optional<std::string> CommandLine::Value(const std::string& name) const {
    std::optional<std::string> value;
    for (const auto& [n, v] : given_)
        if (n == name) value = v;
    return value;
}

std::vector<std::string> CommandLine::Values(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& [n, v] : given_)
        if (n == name) values.push_back(v);
    return values;
}

std::string CommandLine::LastOf(const std::vector<std::string>& names) const {
    std::string last;
    for (const auto& [n, v] : given_)
        for (const std::string& wanted : names)
            if (n == wanted) last = n;
    return last;
}

}  // namespace tintwell::cli
