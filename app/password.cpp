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

std::string firstLine(std::istream& in) {
    std::string line;
    std::getline(in, line);
    return line;
}

// Echo off while the password is typed, on again afterwards.
std::string askAtTerminal(std::istream& in, int fd) {
    termios before{};
    if (::tcgetattr(fd, &before) != 0) {
        throw std::runtime_error("--ask-password needs a terminal on standard input");
    }
    termios silent = before;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    silent.c_lflag |= ECHONL;
    std::cerr << "Password: " << std::flush;
    ::tcsetattr(fd, TCSAFLUSH, &silent);
    const std::string password = firstLine(in);
    ::tcsetattr(fd, TCSAFLUSH, &before);
    return password;
}

}  // namespace

std::string passwordOf(const Arguments& args, std::istream& in, int inFd) {
    if (args.has("ask-password")) {
        return askAtTerminal(in, inFd);
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
    return password;
}

}  // namespace cli
