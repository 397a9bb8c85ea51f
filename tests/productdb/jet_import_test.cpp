// SPDX-License-Identifier: MIT
// Moving a product database of the Windows system: what the new file holds, read back
// with SQLCipher alone, and that a file that cannot be imported leaves nothing behind.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/jetfile/jet_file.h"
#include "jet/jetfile/stream.h"
#include "jet/recordset.h"
#include "pg_server.h"
#include "productdb/jet_import.h"
#include "raw_db.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

using productdb::JetImportError;

productdb::JetImportOptions options() {
    productdb::JetImportOptions o;
    o.read.program = rvtest::binDir() + "/rv_jetread";
    return o;
}

void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

QJsonObject expected(const std::string& name) {
    QFile f(QString::fromStdString(rvtest::jetFixture(name + ".expected.json")));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(f.readAll()).object();
}

// What the new file should hold for an expected value, as RawDb shows it.
std::string shown(const QJsonValue& v) {
    if (v.isNull()) {
        return "<null>";
    }
    if (v.isBool()) {
        return v.toBool() ? "-1" : "0";
    }
    if (v.isDouble()) {
        return std::to_string(static_cast<long long>(v.toDouble()));
    }
    return v.toString().toStdString();
}

// Dates come back as the engine keeps them; the expected ones always carry a time.
std::string withTime(std::string date) {
    return date.size() == 10 ? date + " 00:00:00" : date;
}

class JetImport : public ::testing::Test {
  protected:
    std::string newFile() const { return m_dir.file("new.db"); }
    rvtest::TempDir m_dir;
};

class EachProductFixture : public JetImport, public ::testing::WithParamInterface<const char*> {};

TEST_P(EachProductFixture, HoldsEverythingTheOldFileHolds) {
    const std::string name = GetParam();
    const std::string old = rvtest::jetFixture(name + ".mdb");
    const std::string before = rvtest::readBytes(old);
    const productdb::JetImportResult r =
        productdb::importJetProduct(old, {newFile(), "pw"}, options());
    EXPECT_EQ(rvtest::readBytes(old), before);
    const QJsonObject want = expected(name);
    rvtest::RawDb db(newFile(), "pw");

    // Every table, every row.
    const QJsonObject counts = want[QStringLiteral("counts")].toObject();
    EXPECT_EQ(r.tables, static_cast<std::size_t>(counts.size()));
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        EXPECT_EQ(db.scalar("SELECT count(*) FROM " + it.key().toStdString()),
                  std::to_string(it.value().toInt()))
            << it.key().toStdString();
    }

    // FIELD as it is; one ADDRESS column per field, of its attribute's type and width.
    jet::Connection connection;
    connection.open(jet::ConnectionString::build(newFile(), "pw"));
    const jet::TableInfo address = jet::Catalog(connection).table("ADDRESS");
    for (const QJsonValue& row : want[QStringLiteral("FIELD")].toArray()) {
        const QJsonObject f = row.toObject();
        const std::string id = f[QStringLiteral("FIELD_ID")].toString().toStdString();
        // A Yes/No of the Windows system is never null: what was written as null is No.
        for (auto c = f.begin(); c != f.end(); ++c) {
            const std::string value =
                c.key() == QStringLiteral("HIDDEN") && c.value().isNull() ? "0" : shown(c.value());
            EXPECT_EQ(db.scalar("SELECT " + c.key().toStdString() + " FROM FIELD WHERE FIELD_ID='" +
                                id + "'"),
                      value)
                << id << "." << c.key().toStdString();
        }
        const auto column = std::find_if(address.columns.begin(), address.columns.end(),
                                         [&](const jet::ColumnInfo& ci) { return ci.name == id; });
        ASSERT_NE(column, address.columns.end()) << id;
        const QString attr = f[QStringLiteral("ATTR")].toString();
        const std::string type = attr == QStringLiteral("T")
                                     ? "TEXT(" + shown(f[QStringLiteral("FIELD_SIZE")]) + ")"
                                 : attr == QStringLiteral("N") ? "DOUBLE"
                                 : attr == QStringLiteral("D") ? "DATE"
                                 : attr == QStringLiteral("B") ? "YESNO"
                                                               : "MEMO";
        EXPECT_EQ(column->type, type) << id;
        EXPECT_TRUE(column->attributes & jet::kColNullable) << id;
        if (attr == QStringLiteral("T") || attr == QStringLiteral("M")) {
            EXPECT_TRUE(column->allowZeroLength) << id;
        }
    }

    // The addresses, values exact: texts, '' apart from null, dates, numbers bit for bit.
    const QJsonArray addresses = want[QStringLiteral("ADDRESS_first20")].toArray();
    ASSERT_FALSE(addresses.isEmpty());
    for (const QJsonValue& row : addresses) {
        const QJsonObject a = row.toObject();
        const std::string where =
            " FROM ADDRESS WHERE ADDRESS_NO=" + shown(a[QStringLiteral("ADDRESS_NO")]);
        for (auto c = a.begin(); c != a.end(); ++c) {
            const std::string column = c.key().toStdString();
            const auto info =
                std::find_if(address.columns.begin(), address.columns.end(),
                             [&](const jet::ColumnInfo& ci) { return ci.name == column; });
            ASSERT_NE(info, address.columns.end()) << column;
            if (info->type == "DOUBLE" && !c.value().isNull()) {
                const double want_ = c.value().toDouble();
                const double got = db.real("SELECT " + column + where);
                EXPECT_EQ(std::memcmp(&got, &want_, sizeof got), 0) << column << where;
            } else if (info->type == "DATE" && !c.value().isNull()) {
                EXPECT_EQ(withTime(db.scalar("SELECT " + column + where)), shown(c.value()))
                    << column << where;
            } else if (info->type == "YESNO" && c.value().isNull()) {
                EXPECT_EQ(db.scalar("SELECT " + column + where), "0") << column << where;
            } else {
                EXPECT_EQ(db.scalar("SELECT " + column + where), shown(c.value()))
                    << column << where;
            }
        }
    }
    EXPECT_EQ(db.scalar("SELECT DB_CODE FROM INFO"), "RAVLIN");
}

INSTANTIATE_TEST_SUITE_P(Fixtures, EachProductFixture,
                         ::testing::Values("product", "product-v2003"));

// A memo that fills several pages of the old file arrives whole.
TEST_F(JetImport, LongMemosArriveWhole) {
    productdb::importJetProduct(rvtest::jetFixture("product.mdb"), {newFile(), ""}, options());
    rvtest::RawDb db(newFile(), "");
    const std::vector<std::string> longest =
        db.rows("SELECT ADDRESS_NO, NOTE FROM ADDRESS ORDER BY length(NOTE) DESC LIMIT 1");
    ASSERT_EQ(longest.size(), 1u);
    const std::string id = longest[0].substr(0, longest[0].find('|'));
    const std::string note = longest[0].substr(id.size() + 1);
    const std::string tail = "\n行2\t" + id;
    const std::string unit = "長いメモ。";
    ASSERT_GT(note.size(), 4096u * 3);
    ASSERT_TRUE(note.ends_with(tail));
    std::string body = note.substr(0, note.size() - tail.size());
    for (std::size_t at = 0; at < body.size(); at += unit.size()) {
        ASSERT_EQ(body.compare(at, unit.size(), unit), 0) << "at byte " << at;
    }
    EXPECT_EQ(db.scalar("SELECT length(HTML_CONTENT) FROM CONTENT"), "4500");
}

// Files that cannot be imported: refused with their reason; NEW does not exist, OLD is as
// it was, and the caller goes on.
TEST_F(JetImport, RefusedFilesLeaveNothingBehind) {
    const std::string good = rvtest::readBytes(rvtest::jetFixture("product-v2003.mdb"));
    constexpr std::size_t kPage = 4096;
    std::mt19937 random(32);
    auto noise = [&](std::string bytes, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to && i < bytes.size(); ++i) {
            bytes[i] = static_cast<char>(random());
        }
        return bytes;
    };
    // The definition of a table of 50 rows says 51.
    std::string lyingCount = good;
    for (std::size_t page = 1; page * kPage < good.size(); ++page) {
        const std::size_t at = page * kPage;
        if (good[at] == 0x02 && static_cast<unsigned char>(good[at + 16]) == 50 &&
            good[at + 17] == 0) {
            lyingCount[at + 16] = 51;
            break;
        }
    }
    ASSERT_NE(lyingCount, good);
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"an empty file", "", "not a Jet database"},
        {"a text file", "no database\n", "not a Jet database"},
        {"the first page only", good.substr(0, kPage), "cannot be read"},
        {"cut in half", good.substr(0, good.size() / 2), "cannot be read"},
        {"the last page missing", good.substr(0, good.size() - kPage), "cannot be read"},
        {"cut inside a page", good.substr(0, good.size() - 100), "cannot be read"},
        {"random bytes after the first page", noise(good, kPage, good.size()), "cannot be read"},
        {"a row count that lies", lyingCount, "51 rows stated, 50 read"},
        {"a template library", rvtest::readBytes(rvtest::jetFixture("product-library.mdb")),
         "is not a product database: it lacks table PROJECT"},
    };
    for (const auto& c : cases) {
        const std::string old = m_dir.file("old.mdb");
        write(old, c.bytes);
        try {
            productdb::importJetProduct(old, {newFile(), "pw"}, options());
            ADD_FAILURE() << c.what;
        } catch (const JetImportError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
                << c.what << ": " << e.what();
        }
        EXPECT_FALSE(exists(newFile())) << c.what;
        EXPECT_FALSE(exists(newFile() + "-journal")) << c.what;
        EXPECT_EQ(rvtest::readBytes(old), c.bytes) << c.what;
    }

    // Damage to single pages anywhere: refused or imported, never a crash of the caller, and
    // a refusal leaves nothing.
    for (std::size_t page = 1; page * kPage < good.size(); page += 7) {
        const std::string old = m_dir.file("old.mdb");
        write(old, noise(good, page * kPage, (page + 1) * kPage));
        try {
            productdb::importJetProduct(old, {newFile(), "pw"}, options());
            ::unlink(newFile().c_str());
        } catch (const JetImportError&) {
            EXPECT_FALSE(exists(newFile())) << "page " << page;
        }
    }
}

TEST_F(JetImport, NeverReplacesAFile) {
    write(newFile(), "mine");
    EXPECT_THROW(productdb::importJetProduct(rvtest::jetFixture("product-v2003.mdb"),
                                             {newFile(), "pw"}, options()),
                 JetImportError);
    EXPECT_EQ(rvtest::readBytes(newFile()), "mine");
}

// On a server: the same rows as in a file, into a database that holds no table yet, in one
// transaction, so that a refused or stopped import leaves it holding none.
TEST_F(JetImport, OnAServerTheSameRowsAsInAFileOrNone) {
    const std::string old = rvtest::jetFixture("product.mdb");
    productdb::importJetProduct(old, {newFile(), "pw"}, options());
    rvtest::PgServer& server = rvtest::sharedPgServer();
    const productdb::ProductFile onServer{server.createDatabase(), rvtest::PgServer::kPassword};
    const productdb::JetImportResult r = productdb::importJetProduct(old, onServer, options());
    EXPECT_EQ(r.tables, 20u);
    // Every table's rows as the engine reads them, in an order of their own.
    const auto rowsOf = [](const productdb::ProductFile& db) {
        jet::Connection c;
        c.open(jet::ConnectionString::build(db.path, db.password));
        std::map<std::string, std::multiset<std::string>> out;
        for (const jet::TableInfo& t : jet::Catalog(c).tables()) {
            auto& rows = out[t.name];
            for (jet::Recordset rs = c.execute("SELECT * FROM " + t.name); !rs.eof();
                 rs.moveNext()) {
                std::string row;
                for (int i = 0; i < rs.fieldCount(); ++i) {
                    row += rs.field(i).isNull() ? "<null>|" : rs.field(i).toString() + "|";
                }
                rows.insert(row);
            }
        }
        return out;
    };
    const auto inFile = rowsOf({newFile(), "pw"});
    EXPECT_EQ(inFile.at("ADDRESS").size(), 1000u);
    EXPECT_TRUE(rowsOf(onServer) == inFile);

    EXPECT_THROW(productdb::importJetProduct(old, onServer, options()), JetImportError);
    EXPECT_TRUE(rowsOf(onServer) == inFile) << "a second import changes nothing";

    const productdb::ProductFile stopped{server.createDatabase(), rvtest::PgServer::kPassword};
    productdb::JetImportOptions stopping = options();
    int rows = 0;
    stopping.stopRequested = [&rows] { return ++rows == 1500; };
    EXPECT_THROW(productdb::importJetProduct(old, stopped, stopping), JetImportError);
    EXPECT_TRUE(rowsOf(stopped).empty());
}

// Tables and columns beyond the product's, and values at the edges, through a reader that
// sends a stream made here (the real reader sends only what a Jet file holds).
class StreamedImport : public JetImport {
  protected:
    // The product's tables as the v2003 fixture has them, with `change` applied; `rows`
    // writes the rows of the table of that index (none for the others).
    void import(const std::function<void(jetfile::JetCatalog&)>& change,
                const std::function<void(jetfile::FrameWriter&, std::size_t)>& rows) {
        jetfile::JetCatalog catalog =
            jetfile::JetFileReader(rvtest::jetFixture("product-v2003.mdb"), options().read)
                .catalog();
        for (jetfile::Table& t : catalog.tables) {
            t.rowCount = 0;
        }
        change(catalog);
        jetfile::FrameWriter w;
        w.hello(1);
        for (const jetfile::Table& t : catalog.tables) {
            w.table(t);
        }
        w.catalogEnd();
        for (std::size_t i = 0; i < catalog.tables.size(); ++i) {
            w.rowsBegin(static_cast<std::uint32_t>(i));
            rows(w, i);
            w.rowsEnd(catalog.tables[i].rowCount);
        }
        w.end();
        const std::string old = m_dir.file("old.mdb");
        write(old, rvtest::readBytes(rvtest::jetFixture("product-v2003.mdb")));
        write(old + ".stream", w.buffer());
        const std::string program = m_dir.file("reader");
        write(program, "#!/bin/sh\nexec cat \"$1.stream\"\n");
        ::chmod(program.c_str(), 0755);
        productdb::JetImportOptions o;
        o.read.program = program;
        productdb::importJetProduct(old, {newFile(), ""}, o);
    }

    static jetfile::Column column(const char* name, jetfile::JetType type, int size = 0) {
        jetfile::Column c;
        c.name = name;
        c.type = static_cast<std::uint8_t>(type);
        c.size = size;
        return c;
    }
};

TEST_F(StreamedImport, CarriesExtraTablesAndColumnsAndExactNumbers) {
    using jetfile::JetType;
    const std::vector<double> numbers = {std::numeric_limits<double>::denorm_min(),
                                         1e-300,
                                         5.1808815634008219e-306,
                                         1.0 / 3,
                                         std::numeric_limits<double>::max(),
                                         -std::numeric_limits<double>::infinity()};
    std::size_t extra = 0;
    import(
        [&](jetfile::JetCatalog& c) {
            jetfile::Table t;
    t.name = "MY TABLE";
    t.columns = {column("N", JetType::kDouble), column("SMALL", JetType::kInteger),
                 column("WHEN", JetType::kDateTime), column("NOTE", JetType::kText, 5)};
    t.columns.back().required = true;
    t.rowCount = static_cast<std::uint32_t>(numbers.size());
    c.tables.push_back(t);
    extra = c.tables.size() - 1;
    jetfile::Table& address = c.tables[*c.indexOf("ADDRESS")];
    address.columns.push_back(column("EXTRA", JetType::kByte));
},
        [&](jetfile::FrameWriter& w, std::size_t table) {
    if (table != extra) {
        return;
    }
    for (double d : numbers) {
        w.rowBegin();
        w.real(d);
        w.integer(-32768);
        w.real(-1.25);
        w.text("it's");
        w.rowEnd();
    }
        });
rvtest::RawDb db(newFile(), "");
EXPECT_EQ(db.scalar("SELECT count(*) FROM \"MY TABLE\" WHERE SMALL=-32768 AND "
                    "\"WHEN\"='1899-12-29 06:00:00' AND NOTE='it''s'"),
          std::to_string(numbers.size()));
const std::vector<std::string> rowids = db.rows("SELECT rowid FROM \"MY TABLE\" ORDER BY rowid");
for (std::size_t i = 0; i < numbers.size(); ++i) {
    const double got = db.real("SELECT N FROM \"MY TABLE\" WHERE rowid=" + rowids[i]);
    EXPECT_EQ(std::memcmp(&got, &numbers[i], sizeof got), 0) << numbers[i];
}
jet::Connection connection;
connection.open(jet::ConnectionString::build(newFile(), ""));
jet::Catalog catalog(connection);
EXPECT_EQ(catalog.table("ADDRESS").columns.back().type, "LONG");
EXPECT_FALSE(catalog.table("MY TABLE").columns.back().attributes& jet::kColNullable);
}  // namespace

TEST_F(StreamedImport, RefusesTypesTheEngineDoesNotHave) {
    using jetfile::JetType;
    try {
        import(
            [&](jetfile::JetCatalog& c) {
                jetfile::Table& info = c.tables[*c.indexOf("INFO")];
        info.columns.push_back(column("PRICE", JetType::kCurrency));
        jetfile::Table t;
        t.name = "PICTURES";
        t.columns = {column("PHOTO", JetType::kOle)};
        c.tables.push_back(t);
    },
            [](jetfile::FrameWriter&, std::size_t) {});
    ADD_FAILURE();
}
catch (const JetImportError& e) {
    EXPECT_STREQ(e.what(),
                 "table INFO, column PRICE: Currency, a type the database engine does not "
                 "have; table PICTURES, column PHOTO: OLE Object, a type the database engine "
                 "does not have");
}
EXPECT_FALSE(exists(newFile()));
}

}  // namespace
