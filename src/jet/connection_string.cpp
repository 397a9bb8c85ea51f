// SPDX-License-Identifier: MIT
#include "connection_string.h"

#include <algorithm>
#include <array>
#include <vector>

#include "error.h"
#include "text_util.h"

namespace jet {

using detail::iequals;
using detail::trim;

namespace {

[[noreturn]] void fail(const std::string& why) {
    throw Error("connection string: " + why, ErrorCode::kConnectionString);
}

// Keys that only steer ADO or the Jet provider's tuning; accepted and ignored.
bool isIgnoredKey(std::string_view key) {
    static constexpr std::array<std::string_view, 5> kIgnored = {
        "Persist Security Info", "User ID", "Password", "Mode", "OLE DB Services"};
    for (auto k : kIgnored) {
        if (iequals(key, k)) {
            return true;
        }
    }
    constexpr std::string_view kJetPrefix = "Jet OLEDB:";
    return key.size() > kJetPrefix.size() && iequals(key.substr(0, kJetPrefix.size()), kJetPrefix);
}

constexpr std::string_view kBlanks = " \t\r\n\f\v";  // what trim() drops

void refuseNul(std::string_view value, const char* what) {
    if (value.find('\0') != std::string_view::npos) {
        fail(std::string(what) + " holds a NUL character");
    }
}

// The value as it stands in a connection string: verbatim when parse() reads it back
// so, else between double quotes with every double quote inside doubled.
std::string value(std::string_view v) {
    const bool plain = v.find_first_of(";\"'") == std::string_view::npos &&
                       (v.empty() || (kBlanks.find(v.front()) == std::string_view::npos &&
                                      kBlanks.find(v.back()) == std::string_view::npos));
    return plain ? std::string(v) : detail::quoted(v, '"');
}

// A file's connection string: the provider, the file's Data Source, then `rest`.
std::string forFileAnd(std::string_view path, const std::string& rest) {
    return "Provider=" + std::string(ConnectionString::kJetProvider) +
           ";Data Source=" + value(path) + rest;
}

}  // namespace

bool ConnectionString::namesServer(std::string_view dataSource) {
    const std::string_view s = trim(dataSource);
    for (std::string_view scheme :
         {std::string_view("postgresql://"), std::string_view("postgres://")}) {
        if (s.size() >= scheme.size() && iequals(s.substr(0, scheme.size()), scheme)) {
            return true;
        }
    }
    return false;
}

std::string ConnectionString::withoutPassword(std::string_view uri) {
    // scheme://[user[:password]@]host…: the password ends at the last '@' of the authority.
    const size_t authority = uri.find("://");
    if (authority == std::string_view::npos) {
        return std::string(uri);
    }
    const size_t begin = authority + 3;
    const size_t end = std::min(uri.find_first_of("/?#", begin), uri.size());
    const size_t at = uri.substr(begin, end - begin).rfind('@');
    if (at == std::string_view::npos) {
        return std::string(uri);
    }
    const size_t colon = uri.substr(begin, at).find(':');
    if (colon == std::string_view::npos) {
        return std::string(uri);
    }
    return std::string(uri.substr(0, begin + colon)) + std::string(uri.substr(begin + at));
}

ConnectionString ConnectionString::parse(std::string_view text) {
    refuseNul(text, "the text");
    ConnectionString cs;
    if (namesServer(text)) {
        cs.m_dataSource = std::string(trim(text));
        return cs;
    }
    bool haveSource = false;
    std::vector<std::string> keys;  // every key read so far, as written
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eq = text.find('=', pos);
        size_t semi = text.find(';', pos);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            // A segment without '=': only blanks are allowed there.
            std::string_view seg = text.substr(
                pos, semi == std::string_view::npos ? std::string_view::npos : semi - pos);
            if (!trim(seg).empty()) {
                fail("\"" + std::string(trim(seg)) + "\" is not a key=value pair");
            }
            if (semi == std::string_view::npos) {
                break;
            }
            pos = semi + 1;
            continue;
        }
        std::string_view key = trim(text.substr(pos, eq - pos));
        if (key.empty()) {
            fail("a value without a key");
        }
        size_t v = eq + 1;
        while (v < text.size() && (text[v] == ' ' || text[v] == '\t')) {
            ++v;
        }
        std::string value;
        if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
            const char q = text[v];
            size_t i = v + 1;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == q) {
                    if (i + 1 < text.size() && text[i + 1] == q) {
                        value += q;
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += text[i++];
            }
            if (!closed) {
                fail("the value of \"" + std::string(key) + "\" has no closing quote");
            }
            size_t next = text.find(';', i);
            std::string_view rest =
                text.substr(i, next == std::string_view::npos ? std::string_view::npos : next - i);
            if (!trim(rest).empty()) {
                fail("text after the quoted value of \"" + std::string(key) + "\"");
            }
            pos = next == std::string_view::npos ? text.size() : next + 1;
        } else {
            size_t next = text.find(';', v);
            value = std::string(trim(text.substr(
                v, next == std::string_view::npos ? std::string_view::npos : next - v)));
            pos = next == std::string_view::npos ? text.size() : next + 1;
        }

        // A key named twice would leave the choice between two values to whichever
        // reader came last: refused, whatever the key.
        for (const std::string& seen : keys) {
            if (iequals(seen, key)) {
                fail("the key \"" + std::string(key) + "\" is named twice");
            }
        }
        keys.emplace_back(key);

        if (iequals(key, "Provider")) {
            if (!iequals(value, kJetProvider)) {
                fail("provider \"" + value + "\" is not supported (use " +
                     std::string(kJetProvider) + ")");
            }
        } else if (iequals(key, "Data Source")) {
            cs.m_dataSource = value;
            haveSource = true;
        } else if (iequals(key, "Jet OLEDB:Database Password")) {
            cs.m_password = value;
        } else if (!isIgnoredKey(key)) {
            fail("unknown key \"" + std::string(key) + "\"");
        }
    }
    if (!haveSource || cs.m_dataSource.empty()) {
        fail("Data Source is missing");
    }
    return cs;
}

std::string ConnectionString::build(std::string_view path, std::string_view password) {
    refuseNul(path, "the path");
    refuseNul(password, "the password");
    return forFileAnd(path, "; Jet OLEDB:Database Password=" + value(password) + ";");
}

std::string ConnectionString::forFile(std::string_view path) {
    refuseNul(path, "the path");
    return forFileAnd(path, ";Persist Security Info=False");
}

bool isConnectionString(std::string_view text) {
    // A server's URI may hold '=' in its parameters ("?sslmode=require") and is still a name.
    return !ConnectionString::namesServer(text) && text.find('=') != std::string_view::npos;
}

std::string connectionStringFor(std::string_view pathOrConnection) {
    return isConnectionString(pathOrConnection) ? std::string(pathOrConnection)
                                                : ConnectionString::forFile(pathOrConnection);
}

}  // namespace jet
