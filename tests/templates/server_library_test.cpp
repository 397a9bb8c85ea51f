// SPDX-License-Identifier: MIT
// The template library in a database on a PostgreSQL server: the shipped library's
// statements make it, the same statements read and change it, two operators see each
// other's changes, and export and import work as with a file.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <cstdlib>

#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "pg_server.h"
#include "temp_dir.h"
#include "templates/library.h"
#include "templates/library_file.h"
#include "templates/library_import.h"
#include "templates/library_owner.h"

namespace {

// The shipped library's statements, run on `connection`; with `rows` false only its
// table and index.
void shippedLibrary(jet::Connection& connection, bool rows) {
    QFile sql(QString::fromUtf8(std::getenv("RV_SOURCE_DIR")) +
              QStringLiteral("/data/templates.sql"));
    ASSERT_TRUE(sql.open(QIODevice::ReadOnly));
    for (const QByteArray& line : sql.readAll().split('\n')) {
        const QByteArray statement = line.trimmed();
        if (statement.isEmpty() || statement.startsWith("--") ||
            (!rows && statement.startsWith("INSERT"))) {
            continue;
        }
        connection.execute(statement.toStdString());
        if (statement.startsWith("CREATE TABLE")) {
            // As the build makes base.mdb: the store writes '' into these.
            for (const char* column :
                 {"KIND", "FIELD_ID", "FIELD_NAME", "ATTR", "FIELD_SIZE", "IME", "DIS_ALT_FLG"}) {
                jet::Catalog(connection)
                    .setProperty("TEMP_FIELD", column, jet::kAllowZeroLength, true);
            }
        }
    }
}

templates::LibraryOwner onServer(const std::string& uri) {
    return templates::LibraryOwner(
        QString::fromStdString(jet::ConnectionString::build(uri, rvtest::PgServer::kPassword)));
}

TEST(ServerLibrary, ReadChangedExportedAndImportedAsInAFile) {
    const std::string uri = rvtest::sharedPgServer().createDatabase();
    templates::LibraryConnection first(onServer(uri));
    shippedLibrary(first.connection(), true);

    rvtest::TempDir dir;
    jet::Connection file;
    file.open(rvtest::templateLibrary(dir.file("base.mdb")));
    const QString exported = templates::exportLibrary(first.connection());
    EXPECT_EQ(exported, templates::exportLibrary(file));

    // Two operators: what one adds the other reads next; a write on an entry the other
    // deleted is refused and writes nothing.
    templates::LibraryConnection second(onServer(uri));
    templates::Library a(first), b(second);
    const QString added = a.addField(
        QStringLiteral("1"), {QStringLiteral("NEW1"), QStringLiteral("新項目"), QStringLiteral("T"),
                              QStringLiteral("10"), QStringLiteral("1")});
    EXPECT_EQ(b.entry(added).fieldId, QStringLiteral("NEW1"));
    b.deleteEntry(added);
    EXPECT_THROW(
        a.editField(added, {QStringLiteral("NEW2"), QStringLiteral("x"), QStringLiteral("T"),
                            QStringLiteral("5"), QStringLiteral("1")}),
        templates::EntryGone);
    EXPECT_EQ(templates::exportLibrary(second.connection()), exported);

    // Named as a host or -t names it, the library is read and written where it is: no
    // user's copy of a server's library. Its password comes from libpq's environment.
    ::setenv("PGPASSWORD", rvtest::PgServer::kPassword, 1);
    const templates::LibraryOwner owner(QString::fromStdString(uri));
    EXPECT_TRUE(owner.copyPath().isEmpty());
    templates::LibraryConnection named(owner);
    EXPECT_EQ(templates::exportLibrary(named.connection()), exported);
    ::unsetenv("PGPASSWORD");

    // Imported into an empty library on the server, it exports as it was.
    const std::string emptyUri = rvtest::sharedPgServer().createDatabase();
    templates::LibraryConnection empty(onServer(emptyUri));
    shippedLibrary(empty.connection(), false);
    const templates::ParsedLibrary parsed = templates::parseLibraryText(exported);
    ASSERT_TRUE(parsed.refusals.empty());
    EXPECT_TRUE(templates::importLibrary(empty, parsed.lines).refusals.empty());
    EXPECT_EQ(templates::exportLibrary(empty.connection()), exported);
}

}  // namespace
