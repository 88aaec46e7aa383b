// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/Commands.h"

#include <algorithm>
#include <cstdio>

namespace cli {

namespace {
bool Contains(const std::vector<std::string>& list, const std::string& s)
{
    return std::find(list.begin(), list.end(), s) != list.end();
}
} // namespace

int UsageError(const char* name, const std::string& why)
{
    if (!why.empty()) std::fprintf(stderr, "calvyx-cli %s: %s\n", name, why.c_str());
    const tooling::Command* command = tooling::ProgramCommands().Find(name);
    std::fprintf(stderr, "usage: calvyx-cli %s\n", command ? command->synopsis : name);
    return ExitUsage;
}

std::optional<Args> Args::Parse(const std::vector<std::string>& words, const std::vector<std::string>& valueOptions,
                                const std::vector<std::string>& switches)
{
    Args args;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.rfind("--", 0) != 0 || w.size() == 2) {
            args.positional_.push_back(w);
            continue;
        }
        std::string name = w.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (Contains(valueOptions, name)) {
            if (inlineValue) {
                args.values_[name].push_back(*inlineValue);
            } else if (i + 1 < words.size()) {
                args.values_[name].push_back(words[++i]);
            } else {
                std::fprintf(stderr, "option --%s needs a value\n", name.c_str());
                return std::nullopt;
            }
        } else if (Contains(switches, name) && !inlineValue) {
            args.switches_.push_back(name);
        } else {
            std::fprintf(stderr, "unknown option --%s\n", name.c_str());
            return std::nullopt;
        }
    }
    return args;
}

std::optional<std::string> Args::Value(const std::string& name) const
{
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second.back();
}

std::vector<std::string> Args::Values(const std::string& name) const
{
    const auto it = values_.find(name);
    return it == values_.end() ? std::vector<std::string>{} : it->second;
}

bool Args::Has(const std::string& name) const { return Contains(switches_, name) || values_.count(name) != 0; }

} // namespace cli
