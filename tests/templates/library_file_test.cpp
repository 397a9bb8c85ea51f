// SPDX-License-Identifier: MIT
// The library file over values: the text a library becomes, the way back, and the files
// that are refused, each with the line that is at fault.
#include "templates/library_file.h"

#include <gtest/gtest.h>

#include "templates/texts.h"

namespace {

using namespace Qt::StringLiterals;
using namespace templates;

// number, parent, kind, ID, name, attribute, size, position, IME, fixed mark
TemplateEntry row(const char16_t* number, const char16_t* parent, const char16_t* kind,
                  QStringView name, QStringView id = {}, const char16_t* attr = u"",
                  const char16_t* size = u"", const char16_t* position = u"",
                  const char16_t* ime = u"", const char16_t* fixed = u"") {
    auto t = [](const char16_t* text) { return QStringView(text).toString(); };
    return {t(number), t(parent), t(kind),     id.toString(), name.toString(),
            t(attr),   t(size),   t(position), t(ime),        t(fixed)};
}

// A small library in shuffled row order: a folder made after its field's sibling folder,
// positions with gaps, a fixed field, a field at the top level, a row of no known kind and
// one whose parent is gone.
const std::vector<TemplateEntry> kRows = {
    row(u"7", u"0", u"A", u"備考", u"NOTE", u"M", u"", u"3", u"1"),
    row(u"3", u"1", u"F", u"自宅"),
    row(u"1", u"0", u"F", u"住所"),
    row(u"5", u"1", u"A", u"郵便番号", u"ZIP", u"T", u"8", u"9", u"0", u"1"),
    row(u"4", u"1", u"A", u"都道府県", u"PREF", u"T", u"10", u"2", u"1", u"0"),
    row(u"6", u"3", u"A", u"登録日", u"REGDATE", u"D", u"", u"1", u"0"),
    row(u"8", u"0", u"f", u"小文字"),
    row(u"9", u"42", u"A", u"迷子", u"LOST", u"T", u"5", u"1", u"1"),
    row(u"2", u"0", u"F", u"空"),
};

TEST(LibraryFile, WritesTheTreesOrderWithPathsLabelsAndPlaces) {
    const QString expected = kLibraryFileHeader.toString() + u"\n"_s +
                             u"/住所\n"
                             u"/住所/自宅\n"
                             u"/住所/自宅\tREGDATE\t登録日\t日付\t\tOFF\t\t1\n"
                             u"/住所\tPREF\t都道府県\t文字\t10\tON\t\t1\n"
                             u"/住所\tZIP\t郵便番号\t文字\t8\tOFF\t1\t2\n"
                             u"/空\n"
                             u"\tNOTE\t備考\tメモ\t\tON\t\t1\n"_s;
    EXPECT_EQ(libraryText(libraryLines(kRows)), expected);
    // A folder's subtree starts its paths at that folder.
    EXPECT_EQ(
        libraryText(libraryLines(kRows, u"3"_s)),
        kLibraryFileHeader.toString() + u"\n/自宅\n/自宅\tREGDATE\t登録日\t日付\t\tOFF\t\t1\n"_s);
}

TEST(LibraryFile, EveryTextReadsBackExactlyThroughItsEscapes) {
    const QString awkward = u"a\tb\nc\\d/e\rf\\t\\/"_s;
    const std::vector<TemplateEntry> rows = {
        row(u"1", u"0", u"F", awkward),
        row(u"2", u"1", u"F", u"/"_s),
        row(u"3", u"2", u"F", u""_s),
        row(u"4", u"3", u"A", awkward, awkward, u"T", u"255", u"1", u"1"),
        row(u"5", u"0", u"F", u"#x"_s),
    };
    const std::vector<LibraryLine> lines = libraryLines(rows);
    ASSERT_EQ(lines.size(), 5U);
    EXPECT_EQ(lines[3].path, (QStringList{awkward, u"/"_s, u""_s}));
    EXPECT_EQ(lines[3].name, awkward);
    // As written: a backslash before t, n, r, a backslash and, in a path only, a "/".
    const QString text = libraryText(lines);
    EXPECT_TRUE(text.contains(u"\n/a\\tb\\nc\\\\d\\/e\\rf\\\\t\\\\\\/\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"\ta\\tb\\nc\\\\d/e\\rf\\\\t\\\\/\t"_s)) << text.toStdString();
    const ParsedLibrary back = parseLibraryText(text);
    EXPECT_TRUE(back.refusals.empty());
    EXPECT_EQ(back.lines, lines);
}

TEST(LibraryFile, RefusesEachFaultyLineWithItsNumber) {
    const QString header = kLibraryFileHeader.toString() + u"\n"_s;
    struct Case {
        QString text;
        std::vector<int> lines;  // of the refusals, in order
        QStringView first;       // the first refusal's message, up to its first "%"
    };
    const Case cases[] = {
        {u"folder\tid\tname\n/a\n"_s, {1}, kFileWrongHeader},
        {header + u"/a\x0000\n"_s, {0}, kFileBinary},
        {header + u"/a\tb\n/c\tID\t名\t文字\t1\tON\t\t1\textra\n"_s, {2, 3}, kFileWrongCellCount},
        {header + u"a\n/a\n\n# note\n/b\\x\n"_s, {2, 6}, kFileBadPath},
        {header + u"/a\tID\t名\t文字\t1\tON\t\t1\n/a\tID2\t名\\/\t文字\t1\tON\t\t1\n"_s,
         {3},
         kFileBadEscape},
        {header + u"\tID\t名\t文字列\t1\tON\t\t1\n"_s, {2}, kFileBadAttribute},
        {header + u"\tID\t名\t文字\t1\ton\t\t1\n"_s, {2}, kFileBadIme},
        {header + u"\tID\t名\t文字\t1\tON\t0\t1\n"_s, {2}, kFileBadFixedMark},
        {header +
             u"\tA\t名\t文字\t1\tON\t\t0\n\tB\t名\t文字\t1\tON\t\t+1\n\tC\t名\t文字\t1\tON\t\tx\n"_s,
         {2, 3, 4},
         kFileBadPosition},
        // The field 名 sits in /a: /a/名 names no folder, so a path through it is refused;
        // a folder line would make it a folder beside the field, as the library allows.
        {header + u"/a\tID\t名\t文字\t1\tON\t\t1\n/a/名/b\tID2\tx\t数字\t\t\t\t1\n/a/名/c\n"_s,
         {3, 4},
         kFilePathThroughField},
    };
    for (const Case& c : cases) {
        const ParsedLibrary parsed = parseLibraryText(c.text);
        std::vector<int> lines;
        for (const LibraryRefusal& r : parsed.refusals) {
            lines.push_back(r.line);
        }
        EXPECT_EQ(lines, c.lines) << c.text.toStdString();
        ASSERT_FALSE(parsed.refusals.empty()) << c.text.toStdString();
        EXPECT_TRUE(parsed.refusals[0].message.startsWith(c.first.left(c.first.indexOf(u'%'))))
            << parsed.refusals[0].message.toStdString();
    }
    const ParsedLibrary legal = parseLibraryText(
        header + u"/a/名\n/a\tID\t名\t文字\t1\tON\t\t1\r\n/a/名/b\tID2\tx\t数字\t\t\t\t1\n"_s);
    EXPECT_TRUE(legal.refusals.empty());
    EXPECT_EQ(legal.lines.size(), 3U);
}

TEST(LibraryFile, BytesMustBeUtf8TextNamingTheFirstBadLine) {
    struct Case {
        QByteArray bytes;
        LibraryRefusal refusal;
        QString text;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBFok\n\xE5\x90\x8D\n", {}, u"ok\n名\n"_s},
        {"ok\nok\n\x82\xA0\n", {3, kFileNotUtf8.toString()}, {}},
        {QByteArray("SQLite format 3\0\x10", 18), {0, kFileBinary.toString()}, {}},
    };
    for (const Case& c : cases) {
        LibraryRefusal refusal;
        EXPECT_EQ(libraryFileText(c.bytes, refusal), c.text);
        EXPECT_EQ(refusal, c.refusal);
    }
    EXPECT_TRUE(looksLikeDatabase(cases[2].bytes));
    EXPECT_FALSE(looksLikeDatabase(cases[0].bytes));
}

}  // namespace
