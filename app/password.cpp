// SPDX-License-Identifier: MIT
#include "password.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace cli {

namespace {

// A line of a password file without the carriage return before its line feed: a file
// written on Windows holds the same password.
std::string withoutCarriageReturn(std::string line) {
    if (line.ends_with('\r')) {
        line.pop_back();
    }
    return line;
}

std::string firstLine(std::istream& in) {
    std::string line;
    std::getline(in, line);
    return withoutCarriageReturn(std::move(line));
}

// Echo off while the password is typed, on again afterwards.
std::string askAtTerminal(std::istream& in, int fd, NewDatabase made) {
    termios before{};
    if (::tcgetattr(fd, &before) != 0) {
        throw std::runtime_error("--ask-password needs a terminal on standard input");
    }
    termios silent = before;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    silent.c_lflag |= ECHONL;
    const auto ask = [&](const char* prompt) {
        std::cerr << prompt << std::flush;
        ::tcsetattr(fd, TCSAFLUSH, &silent);
        std::string line;
        std::getline(in, line);
        ::tcsetattr(fd, TCSAFLUSH, &before);
        return line;
    };
    return askPassword(ask, made);
}

}  // namespace

std::string askPassword(const std::function<std::string(const char* prompt)>& ask,
                        NewDatabase made) {
    const std::string password = ask("Password: ");
    if (made == NewDatabase::kYes && ask("Retype the password: ") != password) {
        throw std::runtime_error("the passwords typed differ; nothing was made");
    }
    return password;
}

std::string passwordOf(const Arguments& args, std::istream& in, int inFd, NewDatabase made) {
    if (args.has("ask-password")) {
        return askAtTerminal(in, inFd, made);
    }
    if (!args.has("password-file")) {
        return args.value("password");
    }
    const std::string file = args.value("password-file");
    if (file == "-") {
        return firstLine(in);
    }
    std::ifstream stream(file, std::ios::binary);
    std::string password;
    if (!stream || (!std::getline(stream, password) && !stream.eof())) {
        throw std::runtime_error("cannot read the password file " + file);
    }
    return withoutCarriageReturn(std::move(password));
}

}  // namespace cli
