// SPDX-License-Identifier: MIT
#pragma once

// Reading a Jet 4 file (the Windows system's product databases and template libraries)
// into values. The file is read by a child process, rv_jetread, that runs the mdbtools
// library and passes what it read over a pipe (stream.h): a damaged or hostile file can at
// worst end that process. Whatever goes wrong there — a crash, a hang, an exit status other
// than 0, bytes that are not a well-formed stream — is a ReadError here, and the caller
// writes nothing of what it read.

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jetfile/jet_catalog.h"
#include "jet/jetfile/stream.h"
#include "jet/value.h"

namespace jetfile {

class ReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Whether the first bytes of a file are those of a Jet database ("Standard Jet DB" on its
// first page); the file's name is not looked at.
bool hasJetHeader(std::string_view firstBytes);
// The same for the file at `path`; false when it cannot be read.
bool isJetFile(const std::string& path);

// The reading program installed with this code: beside it (the build tree), or in the
// library folder's rv_makedb/ (an installation).
std::string readerProgram();

struct ReadOptions {
    std::string program;  // the reading program; empty: readerProgram()
    // The longest the reader may go without sending anything before it counts as hung.
    std::chrono::milliseconds idleLimit{30000};
};

// One reading of one file, from its catalog to its last row. The child is started when
// the reader is made, and is gone (ended, or killed) when it goes.
class JetFileReader {
  public:
    // Starts the child and reads the catalog. Throws ReadError.
    explicit JetFileReader(const std::string& path, ReadOptions options = {});
    ~JetFileReader();
    JetFileReader(const JetFileReader&) = delete;
    JetFileReader& operator=(const JetFileReader&) = delete;

    const JetCatalog& catalog() const { return m_decoder.catalog(); }

    // The next row, the tables in catalog order: its table's index and its values, one
    // per column (a Yes/No as -1 or 0, a date as the file's day number, a text as UTF-8).
    // False after the last row, once the child has ended well. Throws ReadError.
    bool next(std::size_t& table, std::vector<jet::Value>& values);

  private:
    // The next event, reading from the child as needed; `awaited` names what is missing
    // when the child ends first.
    StreamEvent nextEvent(const char* awaited);
    // More bytes from the child into the decoder; false at the end of its output.
    bool receive();
    [[noreturn]] void fail(const std::string& why);
    void stop();
    std::string childTrouble();

    std::string m_path;
    ReadOptions m_options;
    pid_t m_pid = -1;
    int m_out = -1;  // the child's standard output
    int m_err = -1;  // its standard error, kept for the message
    std::string m_stderr;
    StreamDecoder m_decoder;
    bool m_ended = false;
};

}  // namespace jetfile
