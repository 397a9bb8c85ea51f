// SPDX-License-Identifier: MIT
#include "command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <iostream>
#include <stdexcept>

#include "rv_version.h"

namespace cli {

namespace {

constexpr int kHelpColumn = 22;  // where an option's help begins
constexpr int kScreenWidth = 80;

const Option kHelp{.names = "h,help", .help = "show this text"};
const Option kVersion{.names = "version", .help = "show the version of the program"};

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::vector<std::string> namesOf(const Option& option) {
    return split(option.names, ',');
}

std::string dashed(const std::string& name) {
    return (name.size() == 1 ? "-" : "--") + name;
}

// The name the program asks for: the first long one.
std::string keyOf(const Option& option) {
    const std::vector<std::string> names = namesOf(option);
    for (const std::string& name : names) {
        if (name.size() > 1) {
            return name;
        }
    }
    return names.front();
}

// "-t/--library", "--yes"
std::string shownName(const Option& option) {
    std::string shown;
    for (const std::string& name : namesOf(option)) {
        shown += (shown.empty() ? "" : "/") + dashed(name);
    }
    return shown;
}

const Option* find(const Program& program, std::string_view key) {
    for (const Option& option : program.options) {
        if (keyOf(option) == key) {
            return &option;
        }
    }
    return nullptr;
}

// "--a or --b" for "a|b"
std::string orList(const Program& program, const char* keys) {
    std::string text;
    for (const std::string& key : split(keys, '|')) {
        const Option* option = find(program, key);
        text += (text.empty() ? "" : " or ") + (option ? shownName(*option) : dashed(key));
    }
    return text;
}

// Qt's parser works on QString: each byte becomes one Latin-1 character and back, so that
// every argument keeps its bytes.
QString fromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

QCommandLineOption qtOption(const Option& option) {
    QStringList names;
    for (const std::string& name : namesOf(option)) {
        names << fromBytes(name);
    }
    if (option.value == nullptr) {
        return QCommandLineOption(names);
    }
    return QCommandLineOption(names, QString(), fromBytes(option.value));
}

// Qt's reason for refusing, in this program's words: "unknown option --x",
// "missing value after '--password'", "unexpected value after '--yes'".
std::string refusal(const QCommandLineParser& parser) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        return "unknown option " + dashed(toBytes(unknown.front()));
    }
    std::string text = toBytes(parser.errorText());
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    if (!text.empty() && text.front() >= 'A' && text.front() <= 'Z') {
        text.front() = static_cast<char>(text.front() - 'A' + 'a');
    }
    return text;
}

// The lines of `text` wrapped at `width` columns; "\n" breaks a line, and the blanks at
// the beginning of a line are kept.
std::vector<std::string> wrap(std::string_view text, int width) {
    std::vector<std::string> lines;
    for (const std::string& segment : split(text, '\n')) {
        std::string line;
        int used = 0;
        for (std::size_t i = 0; i < segment.size();) {
            const std::size_t blanks = segment.find_first_not_of(' ', i);
            if (blanks == std::string::npos) {
                break;
            }
            const std::size_t end = std::min(segment.find(' ', blanks), segment.size());
            const std::string_view word = std::string_view(segment).substr(blanks, end - blanks);
            const int gap = static_cast<int>(blanks - i);
            const int wide = displayWidth(word);
            if (used > 0 && used + gap + wide > width) {
                lines.push_back(line);
                line = word;
                used = wide;
            } else {
                line += segment.substr(i, blanks - i);
                line += word;
                used += gap + wide;
            }
            i = end;
        }
        lines.push_back(line);
    }
    return lines;
}

void describe(std::string& out, const Option& option) {
    std::string label;
    for (const std::string& name : namesOf(option)) {
        label += (label.empty() ? "" : ", ") + dashed(name);
    }
    if (option.value != nullptr) {
        label += std::string(" ") + option.value;
    }
    std::string line = "  " + label;
    const std::vector<std::string> help = wrap(option.help, kScreenWidth - kHelpColumn);
    if (static_cast<int>(line.size()) + 2 > kHelpColumn) {
        out += line + "\n";
        line.clear();
    }
    for (const std::string& text : help) {
        line.resize(kHelpColumn, ' ');
        line += text;
        out += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
        line.clear();
    }
}

}  // namespace

struct Parser {
    static Parsed parse(const Program& program, const std::vector<std::string>& args) {
        QCommandLineParser parser;
        parser.addOption(qtOption(kHelp));
        parser.addOption(qtOption(kVersion));
        for (const Option& option : program.options) {
            if (!parser.addOption(qtOption(option))) {
                throw std::logic_error("option named twice: " + std::string(option.names));
            }
        }
        QStringList qtArgs{fromBytes(program.name)};
        for (const std::string& arg : args) {
            qtArgs << fromBytes(arg);
        }
        if (!parser.parse(qtArgs)) {
            return usageError(program, refusal(parser));
        }
        Parsed parsed;
        if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))) {
            parsed.help = parser.isSet(QStringLiteral("help"));
            parsed.out = parsed.help ? helpText(program) : versionLine(program);
            parsed.exit = kExitOk;
            return parsed;
        }
        Arguments& a = parsed.args;
        std::vector<std::string> given;  // keys of the options given, in table order
        for (const Option& option : program.options) {
            const std::string key = keyOf(option);
            std::vector<std::string>& values = a.m_values[key];
            if (!parser.isSet(fromBytes(key))) {
                continue;
            }
            given.push_back(key);
            if (option.value == nullptr) {
                values.emplace_back();
                continue;
            }
            for (const QString& value : parser.values(fromBytes(key))) {
                if (value.isEmpty() && !option.emptyAllowed) {
                    return usageError(program, "empty value for " + shownName(option));
                }
                values.push_back(toBytes(value));
            }
        }
        for (const QString& arg : parser.positionalArguments()) {
            a.m_positional.push_back(toBytes(arg));
        }
        for (const std::string& key : given) {
            const Option& option = *find(program, key);
            if (option.group != nullptr) {
                for (const std::string& other : given) {
                    const Option& second = *find(program, other);
                    if (other != key && second.group != nullptr &&
                        std::string_view(second.group) == option.group) {
                        return usageError(program, shownName(option) + " and " + shownName(second) +
                                                       " exclude each other");
                    }
                }
            }
            if (option.with != nullptr) {
                const std::vector<std::string> partners = split(option.with, '|');
                if (std::none_of(partners.begin(), partners.end(),
                                 [&](const std::string& p) { return a.has(p); })) {
                    return usageError(
                        program, shownName(option) + " goes with " + orList(program, option.with));
                }
            }
            if (option.alone != nullptr) {
                const std::vector<std::string> partners =
                    *option.alone ? split(option.alone, '|') : std::vector<std::string>{};
                const bool others =
                    !a.m_positional.empty() ||
                    std::any_of(given.begin(), given.end(), [&](const std::string& k) {
                        return k != key &&
                               std::find(partners.begin(), partners.end(), k) == partners.end();
                    });
                if (others) {
                    return usageError(
                        program, shownName(option) + " takes no other arguments" +
                                     (partners.empty() ? std::string()
                                                       : " than " + orList(program, option.alone)));
                }
            }
        }
        return parsed;
    }
};

bool Arguments::has(std::string_view name) const {
    return !values(name).empty();
}

std::string Arguments::value(std::string_view name, const std::string& fallback) const {
    const std::vector<std::string> all = values(name);
    return all.empty() ? fallback : all.back();
}

std::vector<std::string> Arguments::values(std::string_view name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) {
        throw std::logic_error("no such option: " + std::string(name));
    }
    return it->second;
}

std::vector<std::string> arguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

Parsed parse(const Program& program, const std::vector<std::string>& args) {
    return Parser::parse(program, args);
}

Parsed usageError(const Program& program, const std::string& why) {
    Parsed parsed;
    parsed.exit = kExitUsage;
    parsed.err = std::string(program.name) + ": " + why + "\nUsage: " + program.name + " " +
                 split(program.usage, '\n').front() + "\nTry '" + program.name + " --help'.\n";
    return parsed;
}

int finish(const Parsed& parsed) {
    std::cout << parsed.out << std::flush;
    std::cerr << parsed.err << std::flush;
    return parsed.exit.value_or(kExitOk);
}

std::string helpText(const Program& program) {
    std::string out;
    bool first = true;
    for (const std::string& form : split(program.usage, '\n')) {
        out += (first ? "Usage: " : "  or:  ") + std::string(program.name) + " " + form + "\n";
        first = false;
    }
    out += "\n" + std::string(program.intro) + "\n";
    for (const Option& option : program.options) {
        describe(out, option);
    }
    describe(out, kHelp);
    describe(out, kVersion);
    out += "\n" + std::string(program.epilogue);
    return out;
}

std::string versionLine(const Program& program) {
    return std::string(program.name) + " " + RV_MAKEDB_VERSION + "\n";
}

int displayWidth(std::string_view text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? byte : byte & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < text.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
        width += wide ? 2 : 1;
        i += static_cast<std::size_t>(length);
    }
    return width;
}

}  // namespace cli
