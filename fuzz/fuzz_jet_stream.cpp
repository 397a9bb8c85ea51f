// SPDX-License-Identifier: MIT
// libFuzzer target: the caller's side of the Jet file reader. What the reader sends over
// its pipe is decoded as the import decodes it, from hostile bytes fed in pieces of every
// size: the decoder must end every input with events or a StreamError, each row it passes
// on holding one value per column of its table, each value of a kind its column takes,
// and a stream it calls complete holding every row its tables state. Inputs of the file
// mode go the whole way instead: written to a file and read by the real reader in its
// child process (rv_jetread, beside this program), whose crash or refusal must come back
// as a ReadError and nothing worse. Starting a process costs a thousand decodings, so a
// run reads at most kFileReads files; later file inputs are decoded as streams.
//
// Input: a mode byte (all of bits 0-5 set: the rest is a file for the real reader; else
// bits 0-3 give the piece size the bytes are fed in, 1 to 16), then the bytes.

#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "jet/jetfile/jet_file.h"
#include "jet/jetfile/stream.h"

namespace {

constexpr int kFileReads = 48;
int g_fileReads = 0;

bool fitsColumn(const jet::Value& v, const jetfile::Column& c) {
    using jetfile::JetType;
    if (v.isNull()) {
        return !c.is(JetType::kYesNo);
    }
    switch (static_cast<JetType>(c.type)) {
        case JetType::kYesNo:
        case JetType::kByte:
        case JetType::kInteger:
        case JetType::kLong:
            return v.isInteger();
        case JetType::kSingle:
        case JetType::kDouble:
        case JetType::kDateTime:
            return v.isDouble();
        case JetType::kText:
        case JetType::kMemo:
            return v.isText() && jetfile::isUtf8(std::get<std::string>(v.storage()));
        default:
            return false;  // opaque values arrive as nulls
    }
}

void decodeStream(const std::uint8_t* data, std::size_t size, std::size_t piece) {
    jetfile::StreamDecoder d;
    std::vector<std::uint64_t> rows;
    bool ended = false;
    try {
        for (std::size_t at = 0; at < size; at += piece) {
            d.feed(reinterpret_cast<const char*>(data) + at, std::min(piece, size - at));
            while (std::optional<jetfile::StreamEvent> e = d.next()) {
                const jetfile::JetCatalog& catalog = d.catalog();
                rows.resize(catalog.tables.size());
                if (e->kind == jetfile::StreamEvent::Kind::kRow) {
                    const jetfile::Table& t = catalog.tables.at(e->table);
                    if (e->values.size() != t.columns.size()) {
                        std::abort();
                    }
                    for (std::size_t i = 0; i < t.columns.size(); ++i) {
                        if (!fitsColumn(e->values[i], t.columns[i])) {
                            std::abort();
                        }
                    }
                    ++rows[e->table];
                } else if (e->kind == jetfile::StreamEvent::Kind::kEnd) {
                    ended = true;
                }
            }
        }
        d.finish();
    } catch (const jetfile::StreamError&) {
        return;
    }
    if (!ended || !d.complete()) {
        std::abort();  // finish() passed an incomplete stream
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] != d.catalog().tables[i].rowCount) {
            std::abort();
        }
    }
}

void readFile(const std::uint8_t* data, std::size_t size) {
    char path[] = "/tmp/fuzz_jet_stream_XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0) {
        return;
    }
    const bool written = ::write(fd, data, size) == static_cast<ssize_t>(size);
    ::close(fd);
    if (written) {
        try {
            jetfile::JetFileReader r(path, {{}, std::chrono::milliseconds(5000)});
            std::size_t table = 0;
            std::vector<jet::Value> values;
            while (r.next(table, values)) {
            }
        } catch (const jetfile::ReadError&) {
        }
    }
    ::unlink(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    if ((data[0] & 0x3f) == 0x3f && g_fileReads < kFileReads) {
        ++g_fileReads;
        readFile(data + 1, size - 1);
    } else {
        decodeStream(data + 1, size - 1, (data[0] & 0x0f) + 1u);
    }
    return 0;
}
