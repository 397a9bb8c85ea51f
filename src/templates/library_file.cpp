// SPDX-License-Identifier: MIT
#include "templates/library_file.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "jet/placeholders.h"
#include "templates/texts.h"
#include "vocabulary/msgbox_const.h"

namespace templates {

namespace {

constexpr int kFieldCells = 8;

std::optional<qlonglong> number(const QString& text) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

// Each character a cell writes as an escape, and the letter after the backslash; a "/" is
// escaped only in a path.
constexpr std::pair<char16_t, char16_t> kEscapes[] = {
    {u'\\', u'\\'}, {u'\t', u't'}, {u'\n', u'n'}, {u'\r', u'r'}, {u'/', u'/'}};

// The escape letter of `c`, or 0 when it stands as itself.
char16_t escapeOf(QChar c, bool inPath) {
    for (const auto& [plain, letter] : kEscapes) {
        if (c == plain && (inPath || plain != u'/')) {
            return letter;
        }
    }
    return 0;
}

QString escaped(QStringView text, bool inPath) {
    const auto plain = std::none_of(text.begin(), text.end(),
                                    [inPath](QChar c) { return escapeOf(c, inPath) != 0; });
    if (plain) {
        return text.toString();
    }
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (const char16_t letter = escapeOf(c, inPath)) {
            out += u'\\';
            out += QChar(letter);
        } else {
            out += c;
        }
    }
    return out;
}

QString pathText(const QStringList& path) {
    QString out;
    for (const QString& name : path) {
        out += u'/' + escaped(name, true);
    }
    return out;
}

// The text of a cell with its escapes undone, or nothing for an unknown escape. In a path
// a "/" that is not escaped ends a name: the names are appended to `path`.
std::optional<QString> unescaped(QStringView cell, QStringList* path = nullptr) {
    QString out;
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const QChar c = cell[i];
        if (path && c == u'/') {
            if (i > 0) {
                path->append(out);
            }
            out.clear();
            continue;
        }
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i == cell.size()) {
            return std::nullopt;
        }
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes), [&](auto e) {
            return e.second == cell[i] && (path || e.first != u'/');
        });
        if (escape == std::end(kEscapes)) {
            return std::nullopt;
        }
        out += QChar(escape->first);
    }
    if (path && !cell.isEmpty()) {
        path->append(out);
    }
    return out;
}

QString message(QStringView text, const QString& value) {
    return QString::fromStdString(jet::fill(text.toString().toStdString(), {value.toStdString()}));
}

// Reads one line into `entry`; the reason when it is refused.
std::optional<QString> readLine(QStringView line, LibraryLine& entry) {
    const QList<QStringView> cells = line.split(u'\t');
    if (cells.size() != 1 && cells.size() != kFieldCells) {
        return message(kFileWrongCellCount, QString::number(cells.size()));
    }
    const QStringView pathCell = cells[0];
    const bool folder = cells.size() == 1;
    if ((folder || !pathCell.isEmpty()) && !pathCell.startsWith(u'/')) {
        return kFileBadPath.toString();
    }
    if (!unescaped(pathCell, &entry.path)) {
        return kFileBadEscape.toString();
    }
    if (folder) {
        entry.kind = LibraryLine::Kind::kFolder;
        return std::nullopt;
    }
    QString texts[kFieldCells - 1];
    for (int i = 1; i < kFieldCells; ++i) {
        const std::optional<QString> text = unescaped(cells[i]);
        if (!text) {
            return kFileBadEscape.toString();
        }
        texts[i - 1] = *text;
    }
    entry.fieldId = texts[0];
    entry.name = texts[1];
    entry.attribute = texts[2];
    entry.size = texts[3];
    entry.ime = texts[4];
    if (!MsgBox_Const::attributeOfLabel(entry.attribute)) {
        return message(kFileBadAttribute, entry.attribute);
    }
    if (!entry.ime.isEmpty() && entry.ime != vocabulary::kImeOn.label &&
        entry.ime != vocabulary::kImeOff.label) {
        return message(kFileBadIme, entry.ime);
    }
    if (!texts[5].isEmpty() && texts[5] != vocabulary::kFixedMark) {
        return message(kFileBadFixedMark, texts[5]);
    }
    entry.fixed = !texts[5].isEmpty();
    bool ok = false;
    entry.position = texts[6].toInt(&ok);
    if (!ok || entry.position < 1 || texts[6].startsWith(u'+')) {
        return message(kFileBadPosition, texts[6]);
    }
    return std::nullopt;
}

}  // namespace

std::vector<LibraryLine> libraryLines(const std::vector<TemplateEntry>& rows, const QString& top) {
    // Children by parent: folders by number, fields by position (none first), then number.
    struct Child {
        const TemplateEntry* entry;
        std::optional<qlonglong> position;
        qlonglong number;
    };
    QHash<QString, std::vector<Child>> folders;
    QHash<QString, std::vector<Child>> fields;
    const TemplateEntry* topEntry = nullptr;
    for (const TemplateEntry& row : rows) {
        const std::optional<qlonglong> n = number(row.number);
        if (!n) {
            continue;
        }
        const Child child{&row, number(row.sortBy), *n};
        const QString parent =
            number(row.parent) ? QString::number(*number(row.parent)) : QString();
        if (row.kind == kKindFolder) {
            folders[parent].push_back(child);
            if (QString::number(*n) == top) {
                topEntry = &row;
            }
        } else if (row.kind == kKindField) {
            fields[parent].push_back(child);
        }
    }
    for (auto& list : folders) {
        std::sort(list.begin(), list.end(),
                  [](const Child& a, const Child& b) { return a.number < b.number; });
    }
    for (auto& list : fields) {
        std::sort(list.begin(), list.end(), [](const Child& a, const Child& b) {
            return a.position != b.position ? a.position < b.position : a.number < b.number;
        });
    }

    std::vector<LibraryLine> out;
    // Depth first; `seen` keeps a damaged table's loops from running for ever.
    QSet<qlonglong> seen;
    auto walk = [&](auto&& self, const QString& folder, const QStringList& path) -> void {
        for (const Child& child : folders.value(folder)) {
            if (seen.contains(child.number)) {
                continue;
            }
            seen.insert(child.number);
            LibraryLine line;
            line.kind = LibraryLine::Kind::kFolder;
            line.path = path;
            line.path.append(child.entry->name);
            out.push_back(line);
            self(self, QString::number(child.number), line.path);
        }
        int position = 0;
        for (const Child& child : fields.value(folder)) {
            const TemplateEntry& e = *child.entry;
            LibraryLine line;
            line.path = path;
            line.fieldId = e.fieldId;
            line.name = e.name;
            line.attribute = MsgBox_Const::getATTRLabel(e.attr);
            if (line.attribute.isEmpty()) {
                line.attribute = e.attr;  // refused when read back, as it should be
            }
            line.size = e.size;
            line.ime = e.ime.isEmpty() ? QString() : MsgBox_Const::getONOFF(e.ime);
            if (line.ime.isEmpty()) {
                line.ime = e.ime;
            }
            line.fixed = e.fixedFlag == vocabulary::kFixedFlag;
            line.position = ++position;
            out.push_back(line);
        }
    };
    if (top == kRootKey) {
        walk(walk, top, {});
    } else if (topEntry) {
        LibraryLine line;
        line.kind = LibraryLine::Kind::kFolder;
        line.path = QStringList{topEntry->name};
        out.push_back(line);
        seen.insert(*number(top));
        walk(walk, top, line.path);
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].line = static_cast<int>(i) + 2;
    }
    return out;
}

QString libraryText(const std::vector<LibraryLine>& lines) {
    QString out = kLibraryFileHeader.toString() + u'\n';
    for (const LibraryLine& l : lines) {
        out += pathText(l.path);
        if (l.kind == LibraryLine::Kind::kField) {
            for (const QString* cell : {&l.fieldId, &l.name, &l.attribute, &l.size, &l.ime}) {
                out += u'\t' + escaped(*cell, false);
            }
            out += u'\t' + (l.fixed ? vocabulary::kFixedMark.toString() : QString());
            out += u'\t' + QString::number(l.position);
        }
        out += u'\n';
    }
    return out;
}

ParsedLibrary parseLibraryText(QStringView text) {
    ParsedLibrary out;
    if (text.startsWith(QChar(0xFEFF))) {
        text = text.mid(1);
    }
    if (text.contains(QChar(0))) {
        return ParsedLibrary::refused({0, kFileBinary.toString()});
    }
    QList<QStringView> lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    auto withoutCr = [](QStringView line) { return line.endsWith(u'\r') ? line.chopped(1) : line; };
    if (lines.isEmpty() || withoutCr(lines[0]) != kLibraryFileHeader) {
        return ParsedLibrary::refused({1, kFileWrongHeader.toString()});
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = withoutCr(lines[i]);
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        LibraryLine entry;
        entry.line = static_cast<int>(i) + 1;
        if (const std::optional<QString> why = readLine(line, entry)) {
            out.refusals.push_back({entry.line, *why});
        } else {
            out.lines.push_back(entry);
        }
    }

    // A path goes through a field when one of its folders is named by no folder line and
    // the file has a field of that name there. Each path is judged once.
    QSet<QStringList> folders;
    QSet<QStringList> fieldPaths;  // the paths the fields' names would make
    for (const LibraryLine& l : out.lines) {
        if (l.kind == LibraryLine::Kind::kFolder) {
            folders.insert(l.path);
        } else {
            fieldPaths.insert(l.path + QStringList{l.name});
        }
    }
    QHash<QStringList, QString> verdicts;  // a path -> why it is refused (empty: it is not)
    for (const LibraryLine& l : out.lines) {
        auto verdict = verdicts.constFind(l.path);
        if (verdict == verdicts.constEnd()) {
            QString why;
            for (qsizetype n = 1; n <= l.path.size() && why.isEmpty(); ++n) {
                const QStringList prefix = l.path.first(n);
                if (!folders.contains(prefix) && fieldPaths.contains(prefix)) {
                    why = message(kFilePathThroughField, pathText(prefix));
                }
            }
            verdict = verdicts.insert(l.path, why);
        }
        if (!verdict->isEmpty()) {
            out.refusals.push_back({l.line, *verdict});
        }
    }
    std::stable_sort(
        out.refusals.begin(), out.refusals.end(),
        [](const LibraryRefusal& a, const LibraryRefusal& b) { return a.line < b.line; });
    return out;
}

QString libraryFileText(const QByteArray& bytes, LibraryRefusal& refusal) {
    if (bytes.contains('\0')) {
        refusal = {0, kFileBinary.toString()};
        return {};
    }
    // Valid UTF-8 is what comes back unchanged from a decoding (a bad sequence becomes
    // U+FFFD); line by line, so the first bad one is named.
    QString text;
    int line = 0;
    const QByteArray bom("\xEF\xBB\xBF");
    for (const QByteArray& part :
         (bytes.startsWith(bom) ? bytes.mid(bom.size()) : bytes).split('\n')) {
        ++line;
        const QString decoded = QString::fromUtf8(part);
        if (decoded.toUtf8() != part) {
            refusal = {line, kFileNotUtf8.toString()};
            return {};
        }
        if (line > 1) {
            text += u'\n';
        }
        text += decoded;
    }
    return text;
}

QString libraryPathText(const QStringList& path) {
    return pathText(path);
}

bool parseLibraryPath(QStringView text, QStringList& path) {
    path.clear();
    return (text.isEmpty() || text.startsWith(u'/')) && unescaped(text, &path).has_value();
}

bool looksLikeDatabase(const QByteArray& bytes) {
    return bytes.startsWith(QByteArrayLiteral("SQLite format 3\0"));
}

std::vector<TemplateEntry> readEntries(jet::Connection& connection) {
    std::vector<TemplateEntry> out;
    TemplateStore store(connection);
    auto read = [&out](jet::Recordset rs) {
        // The columns looked up once for all rows.
        int columns[10];
        const char* names[10] = {"FIELD_NO", "P_FIELD_NO", "KIND",   "FIELD_ID", "FIELD_NAME",
                                 "ATTR",     "FIELD_SIZE", "SORTBY", "IME",      "DIS_ALT_FLG"};
        for (int i = 0; i < 10; ++i) {
            columns[i] = rs.fieldIndex(names[i]);
        }
        auto text = [&](int i) { return QString::fromStdString(rs.field(columns[i]).toString()); };
        for (; !rs.eof(); rs.moveNext()) {
            out.push_back({text(0), text(1), text(2), text(3), text(4), text(5), text(6), text(7),
                           text(8), text(9)});
        }
    };
    read(store.selectFolders());
    read(store.selectFields());
    return out;
}

}  // namespace templates
