// SPDX-License-Identifier: MIT
#pragma once

// The server client library, loaded the first time a connection names a server. A program
// that works on files alone never maps it, nor the score of libraries it brings along
// (Kerberos, LDAP, TLS): they cost every start of a window a visible part of its time.

#include <libpq-fe.h>

namespace jet::detail {

#define RV_LIBPQ_FUNCTIONS(X) \
    X(PQcancel)               \
    X(PQclear)                \
    X(PQconnectdbParams)      \
    X(PQerrorMessage)         \
    X(PQfinish)               \
    X(PQfname)                \
    X(PQfreeCancel)           \
    X(PQftype)                \
    X(PQgetCancel)            \
    X(PQgetResult)            \
    X(PQgetisnull)            \
    X(PQgetlength)            \
    X(PQgetvalue)             \
    X(PQnfields)              \
    X(PQntuples)              \
    X(PQresultErrorField)     \
    X(PQresultStatus)         \
    X(PQsendQuery)            \
    X(PQstatus)

// The library's functions this engine calls, by their own names.
struct Libpq {
#define RV_LIBPQ_MEMBER(name) decltype(&::name) name = nullptr;
    RV_LIBPQ_FUNCTIONS(RV_LIBPQ_MEMBER)
#undef RV_LIBPQ_MEMBER
};

// The loaded library; the first call loads it (thread-safe). Throws jet::Error of kind
// kCannotOpen, naming the library, when it is not installed or lacks a function.
const Libpq& libpq();

}  // namespace jet::detail
