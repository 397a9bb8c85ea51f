// SPDX-License-Identifier: MIT
#pragma once

// The library file: the template library as text for people and version control.
//
// UTF-8, one entry a line, cells separated by tabs, in the tree's order (a folder, then
// its folders, then its fields by position). The first line names the columns:
//
//   folder  id  name  attribute  size  ime  fixed  position
//
// A folder line has one cell, the folder's path: each name from the top preceded by "/"
// ("/住所/自宅住所"). A field line has all eight: the path of its folder ("" at the top
// level), the field ID, its name, the attribute's label (文字 数字 日付 YESNO メモ), the
// size, the IME (ON, OFF or empty), "1" for a fixed field (else empty), and its place in
// its folder (1 for the first field). In every cell a backslash, a tab, a line feed and a
// carriage return are written \\ \t \n \r, and a "/" in a folder's name \/, so every
// library reads back exactly. Empty lines and lines beginning with "#" are passed over.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "templates/store.h"

namespace templates {

// The first line of every library file.
inline constexpr QStringView kLibraryFileHeader =
    u"folder\tid\tname\tattribute\tsize\time\tfixed\tposition";

// One entry of a library file.
struct LibraryLine {
    enum class Kind { kFolder, kField };
    Kind kind = Kind::kField;
    int line = 0;      // its line number in the file, from 1
    QStringList path;  // a folder: its own path; a field: its folder's (empty: the top level)
    QString fieldId;
    QString name;
    QString attribute;  // the label, as written
    QString size;
    QString ime;  // "ON", "OFF" or empty
    bool fixed = false;
    int position = 0;

    bool operator==(const LibraryLine&) const = default;
};

// A line refused, with its number (0: the file as a whole) and why.
struct LibraryRefusal {
    int line = 0;
    QString message;

    bool operator==(const LibraryRefusal&) const = default;
};

struct ParsedLibrary {
    std::vector<LibraryLine> lines;
    std::vector<LibraryRefusal> refusals;  // in line order; none when the file is whole
    // The file as a whole is refused (unreadable, binary, not valid text, a wrong header).
    bool refusedWhole = false;

    // A file refused as a whole for `refusal`.
    static ParsedLibrary refused(LibraryRefusal refusal) {
        return {{}, {std::move(refusal)}, true};
    }
};

// The entries below the folder `top` (its number; "0" for the whole library) in the tree's
// order, from TEMP_FIELD rows in any order: folders by number, then fields by position and
// number, as the tree shows them; a folder other than the top starts its own path there.
// Rows the tree cannot reach (no parent, another kind) are left out.
std::vector<LibraryLine> libraryLines(const std::vector<TemplateEntry>& rows,
                                      const QString& top = QStringLiteral("0"));

// The text of a library file holding `lines`, header first, each line ended by "\n".
QString libraryText(const std::vector<LibraryLine>& lines);

// The entries of a library file's text. Refused: a first line other than the header, a
// text holding a NUL character (a binary file), a line with a number of cells other than
// 1 or 8, a path not beginning with "/", an unknown escape, an unknown attribute, IME or
// fixed mark, a position that is not a whole number from 1, and a path that goes through a
// field of the file (one no folder line names, where a field of that name sits).
ParsedLibrary parseLibraryText(QStringView text);

// The text of UTF-8 `bytes`, a leading byte order mark dropped; empty with `refusal` set
// for a binary file (a NUL byte) or for the first line that is not valid UTF-8.
QString libraryFileText(const QByteArray& bytes, LibraryRefusal& refusal);

// A folder's path as a folder line writes it ("/住所/自宅"); the top level is empty.
QString libraryPathText(const QStringList& path);
// The names of a path written so; false for one that does not begin with "/" or holds an
// unknown escape. An empty text is the top level.
bool parseLibraryPath(QStringView text, QStringList& path);

// Whether `bytes` begin as a database file does (a library database rather than text).
bool looksLikeDatabase(const QByteArray& bytes);

// Every TEMP_FIELD row of the library on `connection`.
std::vector<TemplateEntry> readEntries(jet::Connection& connection);

}  // namespace templates
