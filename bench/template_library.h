// SPDX-License-Identifier: MIT
#pragma once

// The template library of the tree benchmarks: the shipped base.mdb beside the program,
// emptied and filled with a large tree; and the floor of loading it.

#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QTreeWidget>
#include <filesystem>
#include <string>
#include <string_view>

#include "jet/connection.h"
#include "jet/connection_string.h"
#include "templates/statements.h"

namespace bench {

constexpr int kLibraryFolders = 1000;

// Folders 1-100 at the top, 101-400 one level down, 401-1000 two levels down.
inline int folderParent(int folder) {
    if (folder <= 100) {
        return 0;
    }
    if (folder <= 400) {
        return (folder - 101) % 100 + 1;
    }
    return (folder - 401) % 300 + 101;
}

// The top folder of the subtree that makeLibrary() adds on request: 9 subfolders, 90 below
// them, and 900 fields in those, 1,000 entries with the top.
constexpr int kSubtreeTop = 20001;
constexpr int kSubtreeEntries = 1000;

// A copy of base.mdb at `path` holding the 1,000 folders and `fields` fields (1001 on,
// spread over all folders, every 25th one fixed, positions repeating so that ties fall
// back to the numbers), and the subtree when asked for; returns its connection string.
inline std::string makeLibrary(const std::string& path, int fields, bool subtree = false) {
    const std::filesystem::path shipped =
        QCoreApplication::applicationDirPath().toStdString() + "/base.mdb";
    std::filesystem::copy_file(shipped, path);
    const std::string cs = jet::ConnectionString::build(path, "");
    jet::Connection c;
    c.open(cs);
    c.beginTrans();
    c.execute("delete * from TEMP_FIELD");
    auto folder = [&](int number, int parent) {
        c.execute("INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME) VALUES(" +
                  std::to_string(number) + "," + std::to_string(parent) + ",'F','フォルダ" +
                  std::to_string(number) + "')");
    };
    auto field = [&](int number, int parent, int position, bool fixed) {
        const std::string n = std::to_string(number);
        c.execute(
            "INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,"
            "SORTBY,IME,DIS_ALT_FLG) VALUES(" +
            n + "," + std::to_string(parent) + ",'A','F" + n + "','項目" + n + "','T','20'," +
            std::to_string(position) + ",'1','" + (fixed ? "1" : "0") + "')");
    };
    for (int f = 1; f <= kLibraryFolders; ++f) {
        folder(f, folderParent(f));
    }
    for (int i = 0; i < fields; ++i) {
        field(kLibraryFolders + 1 + i, (i * 7) % kLibraryFolders + 1, i % 5, i % 25 == 0);
    }
    if (subtree) {
        int number = kSubtreeTop;
        folder(number++, 0);
        for (int a = 0; a < 9; ++a) {
            const int sub = number++;
            folder(sub, kSubtreeTop);
            for (int b = 0; b < 10; ++b) {
                const int subsub = number++;
                folder(subsub, sub);
                for (int k = 1; k <= 10; ++k) {
                    field(number++, subsub, k, false);
                }
            }
        }
    }
    c.commitTrans();
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

// The floor of a tree load: a connection opened, the rows of both tree queries read once,
// each put into `tree` under its parent found through a hash. Returns the items made.
inline int floorLoad(QTreeWidget& tree, const std::string& connectionString) {
    tree.clear();
    QHash<qint64, QTreeWidgetItem*> byNumber;
    auto* root = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("全部の項目")});
    byNumber.insert(0, root);
    int count = 1;
    jet::Connection c;
    c.open(connectionString);
    for (std::string_view query : {templates::kSelectFolders, templates::kSelectFields}) {
        jet::Recordset rs = c.execute(query);
        const int number = rs.fieldIndex("FIELD_NO");
        const int parent = rs.fieldIndex("P_FIELD_NO");
        const int name = rs.fieldIndex("FIELD_NAME");
        for (; !rs.eof(); rs.moveNext()) {
            QTreeWidgetItem* p = byNumber.value(*rs.field(parent).toInt());
            auto* item = new QTreeWidgetItem(
                p, QStringList{QString::fromStdString(rs.field(name).toString())});
            byNumber.insert(*rs.field(number).toInt(), item);
            ++count;
        }
    }
    c.close();
    return count;
}

}  // namespace bench
