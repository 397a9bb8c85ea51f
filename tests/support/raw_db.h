#pragma once

// Reading a database the way any SQLCipher client would, without the engine: for
// checking what the engine left in a file.

#include <string>
#include <vector>

struct sqlite3;

namespace rvtest {

class RawDb {
  public:
    RawDb(const std::string& path, const std::string& password);
    ~RawDb();
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    // Every row of a query, cells joined by '|', a null as "<null>".
    std::vector<std::string> rows(const std::string& sql);
    // The first row of a query, or "<none>".
    std::string scalar(const std::string& sql);
    // "ok", or the engine's message.
    std::string exec(const std::string& sql);

  private:
    sqlite3* m_db = nullptr;
};

}  // namespace rvtest
