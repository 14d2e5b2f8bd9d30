#include "tools/cli/BashCompletion.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

namespace korthal::cli {

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::vector<std::string> wordsOf(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Only these characters go into the script, so that nothing in a help text
// can need quoting there.
bool safeWord(const std::string& w)
{
    return !w.empty() && std::all_of(w.begin(), w.end(), [](char c) {
        return isUpper(c) || isLower(c) || isDigit(c) || c == '-' || c == '_' || c == '.' ||
               c == ',' || c == '+';
    });
}

// A literal word a user types as it stands ("2d", "network", "wgs84-geo"),
// not a placeholder ("FILE", "NAME").
bool literalWord(const std::string& w)
{
    return safeWord(w) && (isLower(w[0]) || isDigit(w[0])) &&
           std::none_of(w.begin(), w.end(), isUpper);
}

std::string withoutBrackets(std::string w)
{
    while (!w.empty() && (w.front() == '[' || w.front() == '('))
        w.erase(w.begin());
    while (!w.empty() && (w.back() == ']' || w.back() == ')'))
        w.pop_back();
    return w;
}

// What a placeholder of the usage line or the option list stands for.
Completion classify(const std::string& placeholder)
{
    Completion c;
    c.kind = Completion::Kind::Value;
    const std::string w = withoutBrackets(placeholder);
    if (w.find('|') != std::string::npos) {
        std::vector<std::string> parts;
        std::istringstream in(w);
        for (std::string p; std::getline(in, p, '|');)
            parts.push_back(p);
        if (std::all_of(parts.begin(), parts.end(), literalWord)) {
            c.kind = Completion::Kind::Words;
            c.words = parts;
        }
        return c;
    }
    const auto dot = w.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < w.size() &&
        std::all_of(w.begin() + static_cast<std::ptrdiff_t>(dot) + 1, w.end(),
                    [](char ch) { return isUpper(ch) || isLower(ch) || isDigit(ch); })) {
        c.kind = Completion::Kind::Files;
        c.extension = w.substr(dot + 1);
    } else if (w.size() >= 4 && w.compare(w.size() - 4, 4, "FILE") == 0) {
        c.kind = Completion::Kind::Files;
    }
    return c;
}

// "--name" at the start of `s` (after "--": a letter, then letters, digits
// and hyphens); empty when there is none.
std::string optionAt(const std::string& s, std::size_t at)
{
    if (s.compare(at, 2, "--") != 0 || at + 2 >= s.size() || !isLower(s[at + 2]))
        return {};
    std::size_t end = at + 2;
    while (end < s.size() && (isLower(s[end]) || isDigit(s[end]) || s[end] == '-'))
        ++end;
    return s.substr(at, end - at);
}

struct Parsed {
    CommandCompletion result;
    std::vector<std::string> argumentNames;           // placeholders of the arguments
    std::map<std::string, std::string> valueNames;    // option -> its first value's placeholder
    std::map<std::string, std::vector<std::string>> listed;  // placeholder -> words under a heading
};

OptionCompletion* findOption(CommandCompletion& c, const std::string& name)
{
    for (auto& o : c.options)
        if (o.name == name) return &o;
    return nullptr;
}

OptionCompletion& option(CommandCompletion& c, const std::string& name)
{
    if (OptionCompletion* o = findOption(c, name)) return *o;
    c.options.push_back(OptionCompletion{name, {}});
    return c.options.back();
}

// The usage block: "Usage: korthal-cli NAME ARG... [--opt VALUE...]..." up to
// the first empty line. Arguments outside brackets are the command's
// arguments; an option outside brackets takes the one word after it, one in
// brackets every word up to the bracket's end. "<" (standard input) ends it.
void readUsage(const std::vector<std::string>& lines, Parsed& p)
{
    std::string usage;
    bool in = false;
    for (const auto& line : lines) {
        if (!in && line.rfind("Usage:", 0) == 0) in = true;
        if (!in) continue;
        if (line.find_first_not_of(' ') == std::string::npos) break;
        usage += line + ' ';
    }
    const auto words = wordsOf(usage);
    // "Usage:", "korthal-cli", the command's name.
    std::size_t i = std::min<std::size_t>(3, words.size());
    int depth = 0;
    OptionCompletion* current = nullptr;
    bool currentInBrackets = false;
    for (; i < words.size(); ++i) {
        const std::string& raw = words[i];
        if (raw == "<") break;
        std::size_t opens = 0;
        while (opens < raw.size() && raw[opens] == '[')
            ++opens;
        depth += static_cast<int>(opens);
        const std::string w = withoutBrackets(raw);
        if (const std::string name = optionAt(w, 0); !name.empty() && name.size() == w.size()) {
            current = &option(p.result, name);
            currentInBrackets = depth > 0;
        } else if (current && (currentInBrackets || current->value.values == 0) && w != "options") {
            if (current->value.values == 0) {
                current->value = classify(w);
                p.valueNames[current->name] = w;
            }
            ++current->value.values;
        } else if (depth == 0 && !w.empty()) {
            current = nullptr;
            p.argumentNames.push_back(w);
        }
        std::size_t closes = 0;
        while (closes < raw.size() && raw[raw.size() - 1 - closes] == ']')
            ++closes;
        depth = std::max(0, depth - static_cast<int>(closes));
        if (depth == 0 && currentInBrackets && closes > 0) current = nullptr;
        if (!current && depth == 0) currentInBrackets = false;
    }
}

// The option list: lines that start with blanks and "--name". One blank then
// a word (up to two blanks) is the option's value: "  --decimals N   text".
void readOptionList(const std::vector<std::string>& lines, Parsed& p)
{
    for (const auto& line : lines) {
        const auto at = line.find_first_not_of(' ');
        if (at == 0 || at == std::string::npos) continue;
        const std::string name = optionAt(line, at);
        if (name.empty()) continue;
        OptionCompletion& o = option(p.result, name);
        if (o.value.values > 0) continue;  // the usage line said it already
        std::size_t pos = at + name.size();
        int values = 0;
        std::string first;
        while (pos + 1 < line.size() && line[pos] == ' ' && line[pos + 1] != ' ') {
            const auto end = std::min(line.find(' ', pos + 1), line.size());
            const std::string word = line.substr(pos + 1, end - pos - 1);
            if (!optionAt(word, 0).empty()) break;
            if (values == 0) first = word;
            ++values;
            pos = end;
        }
        if (values > 0) {
            o.value = classify(first);
            o.value.values = values;
            p.valueNames[name] = first;
        }
    }
}

// Words listed under a heading that names placeholders: "Forms (FROM and
// TO):" followed by indented lines whose first words are the forms.
void readListedWords(const std::vector<std::string>& lines, Parsed& p)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& h = lines[i];
        if (h.empty() || h[0] == ' ' || h.back() != ':') continue;
        std::vector<std::string> names;
        for (const auto& w : wordsOf(h)) {
            std::string n = withoutBrackets(w);
            if (!n.empty() && n.back() == ':') n.pop_back();
            n = withoutBrackets(n);
            if (n.size() >= 2 && std::all_of(n.begin(), n.end(), [](char c) {
                    return isUpper(c) || isDigit(c) || c == '_';
                }))
                names.push_back(n);
        }
        if (names.empty()) continue;
        std::vector<std::string> words;
        for (std::size_t j = i + 1; j < lines.size() && !lines[j].empty() && lines[j][0] == ' '; ++j) {
            const auto first = wordsOf(lines[j]);
            if (!first.empty() && literalWord(first[0])) words.push_back(first[0]);
        }
        for (const auto& n : names)
            p.listed[n].insert(p.listed[n].end(), words.begin(), words.end());
    }
}

}  // namespace

CommandCompletion completionOf(const Command& command)
{
    Parsed p;
    p.result.name = command.name;
    const auto lines = linesOf(command.help);
    readUsage(lines, p);
    readOptionList(lines, p);
    readListedWords(lines, p);
    // Options the text only mentions take no value.
    for (const auto& line : lines)
        for (std::size_t at = line.find("--"); at != std::string::npos; at = line.find("--", at + 2))
            if (const std::string name = optionAt(line, at); !name.empty()) option(p.result, name);
    option(p.result, "--help");

    for (auto& o : p.result.options) {
        const auto named = p.valueNames.find(o.name);
        if (named == p.valueNames.end()) continue;
        if (const auto l = p.listed.find(named->second); l != p.listed.end() && !l->second.empty()) {
            o.value.kind = Completion::Kind::Words;
            o.value.words = l->second;
        }
    }
    for (const auto& name : p.argumentNames) {
        Completion c = classify(name);
        if (const auto l = p.listed.find(name); l != p.listed.end() && !l->second.empty()) {
            c.kind = Completion::Kind::Words;
            c.words = l->second;
        } else if (c.kind == Completion::Kind::Value) {
            c.kind = Completion::Kind::Files;  // as bash would offer
        }
        p.result.arguments.push_back(c);
    }
    return p.result;
}

namespace {

std::string joined(const std::vector<std::string>& words)
{
    std::string out;
    for (const auto& w : words) {
        if (!safeWord(w)) continue;
        if (!out.empty()) out += ' ';
        out += w;
    }
    return out;
}

// The completion of a word as the script's helper reads it:
// "words:a b c", "files:EXT", "files:" or "value".
std::string specOf(const Completion& c)
{
    switch (c.kind) {
    case Completion::Kind::Words:
        return "words:" + joined(c.words);
    case Completion::Kind::Files:
        return "files:" + (safeWord(c.extension) ? c.extension : std::string());
    case Completion::Kind::Value:
        return "value";
    case Completion::Kind::None:
        break;
    }
    return {};
}

const char* const kScriptHead = R"sh(# bash completion for korthal-cli                         -*- shell-script -*-
# Written by "korthal-cli completion" from the commands' help texts.

# Completes the current word ($cur) by a rule: "words:LIST", "files:EXT" (any
# case; folders too), "files:" (any file) or "value" (nothing to offer).
_korthal_cli_offer()
{
    local f ext
    case $1 in
    words:*)
        COMPREPLY=($(compgen -W "${1#words:}" -- "$cur"))
        ;;
    files:*)
        compopt -o filenames 2>/dev/null
        ext=${1#files:}
        ext=${ext,,}
        while IFS= read -r f; do
            if [[ -z $ext || -d $f || ${f,,} == *."$ext" ]]; then
                COMPREPLY+=("$f")
            fi
        done < <(compgen -f -- "$cur")
        ;;
    value)
        compopt +o default 2>/dev/null
        ;;
    esac
}

)sh";

const char* const kScriptMain = R"sh(
_korthal_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "$_korthal_cli_commands --help --version" -- "$cur"))
        return
    fi
    local cmd=${COMP_WORDS[1]} rule i n=0
    # The value of an option.
    if [[ $prev == --* ]]; then
        rule=$(_korthal_cli_option "$cmd" "$prev")
        if [[ -n $rule ]]; then
            _korthal_cli_offer "${rule#* }"
            return
        fi
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_korthal_cli_options "$cmd")" -- "$cur"))
        return
    fi
    # Which argument this is: options and their values do not count.
    for ((i = 2; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == --* ]]; then
            rule=$(_korthal_cli_option "$cmd" "${COMP_WORDS[i]}")
            [[ -n $rule ]] && ((i += ${rule%% *}))
        else
            ((n++))
        fi
    done
    _korthal_cli_offer "$(_korthal_cli_argument "$cmd" "$n")"
}

complete -o default -F _korthal_cli korthal-cli
)sh";

}  // namespace

std::string bashCompletionScript(const std::vector<Command>& commands)
{
    std::vector<CommandCompletion> all;
    for (const auto& c : commands)
        if (safeWord(c.name)) all.push_back(completionOf(c));
    std::sort(all.begin(), all.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });

    std::string names, options, values, arguments;
    for (const auto& c : all) {
        names += (names.empty() ? "" : " ") + c.name;
        std::vector<std::string> optionNames;
        for (const auto& o : c.options) {
            optionNames.push_back(o.name);
            if (o.value.kind != Completion::Kind::None)
                values += "    '" + c.name + ' ' + o.name + "') echo '" +
                          std::to_string(o.value.values) + ' ' + specOf(o.value) + "' ;;\n";
        }
        options += "    " + c.name + ") echo '" + joined(optionNames) + "' ;;\n";
        for (std::size_t i = 0; i < c.arguments.size(); ++i)
            arguments += "    '" + c.name + ' ' + std::to_string(i) + "') echo '" +
                         specOf(c.arguments[i]) + "' ;;\n";
    }

    std::string s = kScriptHead;
    s += "_korthal_cli_commands='" + names + "'\n\n";
    s += "# The options of a command.\n_korthal_cli_options()\n{\n    case $1 in\n" + options +
         "    esac\n}\n\n";
    s += "# An option's count of values and their rule; nothing for an option without\n"
         "# a value.\n_korthal_cli_option()\n{\n    case \"$1 $2\" in\n" +
         values + "    esac\n}\n\n";
    s += "# The rule of a command's argument N (from 0).\n_korthal_cli_argument()\n{\n"
         "    case \"$1 $2\" in\n" +
         arguments + "    *) echo 'files:' ;;\n    esac\n}\n";
    s += kScriptMain;
    return s;
}

}  // namespace korthal::cli
