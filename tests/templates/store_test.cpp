// SPDX-License-Identifier: MIT
// Every statement the template store sends, as the engine receives it, on a copy of the
// shipped library.
#include <gtest/gtest.h>

#include <QStringList>
#include <functional>

#include "databases.h"
#include "jet/connection.h"
#include "temp_dir.h"
#include "templates/store.h"

namespace {

using namespace Qt::StringLiterals;
using templates::TemplateStore;

TEST(TemplateStore, SendsEachStatementExactly) {
    rvtest::TempDir dir;
    jet::Connection db;
    db.open(rvtest::templateLibrary(dir.file("base.mdb")));
    std::string seen;
    db.setObserver([&](std::string_view statement) { seen = statement; });
    TemplateStore store(db);

    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { store.selectFolders(); },
         "select * from TEMP_FIELD where kind='F' ORDER BY P_FIELD_NO,FIELD_NO"},
        {[&] { store.selectFields(); },
         "select * from TEMP_FIELD where kind='A' ORDER BY P_FIELD_NO,SORTBY,FIELD_NO"},
        {[&] { store.selectEntry(u"105"_s); }, "select * from TEMP_FIELD where FIELD_NO= 105"},
        {[&] { store.selectFieldNumbers(); },
         "SELECT FIELD_NO FROM TEMP_FIELD WHERE KIND='A' ORDER BY P_FIELD_NO,SORTBY"},
        {[&] { store.selectChildren(u"2"_s); },
         "select FIELD_NO,P_FIELD_NO from TEMP_FIELD where P_FIELD_NO= 2"},
        {[&] { store.selectChildrenWithFixedMark(u"2"_s); },
         "select FIELD_NO,P_FIELD_NO,DIS_ALT_FLG from TEMP_FIELD where P_FIELD_NO= 2"},
        {[&] { store.selectMaxFieldNo(); }, "select max(FIELD_NO) from TEMP_FIELD"},
        {[&] { store.selectFieldIdsAndNames(); },
         "select FIELD_ID,FIELD_NAME from TEMP_FIELD where kind='A'"},
        {[&] { store.selectPositions(u"2"_s); },
         "SELECT SORTBY FROM TEMP_FIELD WHERE P_FIELD_NO = 2 ORDER BY SORTBY DESC"},
        {[&] { store.selectPosition(u"105"_s); },
         "SELECT SORTBY FROM TEMP_FIELD WHERE FIELD_NO = 105"},
        {[&] { store.insertField(u"2"_s, u"TEL9"_s, u"電話9"_s, u"T"_s, u"20"_s, u"9"_s, u"0"_s); },
         "INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,SORTBY,IME)  "
         "VALUES( '2', 'A', 'TEL9','電話9','T','20','9','0')"},
        {[&] { store.updateField(u"TEL8"_s, u"電話8"_s, u"N"_s, u""_s, u""_s, u"105"_s); },
         "UPDATE TEMP_FIELD SET FIELD_ID='TEL8', FIELD_NAME = '電話8', ATTR = 'N', "
         "FIELD_SIZE = '', IME = ''where FIELD_NO= 105"},
        {[&] { store.insertFolder(u"0"_s, u"新規"_s); },
         "INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_NAME) VALUES( 0 ,'F','新規')"},
        {[&] { store.updateFolderName(u"%2名"_s, u"13"_s); },
         "UPDATE TEMP_FIELD SET FIELD_NAME='%2名' where FIELD_NO= 13 "},
        {[&] { store.rename(u"改名"_s, u"12"_s); },
         "UPDATE TEMP_FIELD SET FIELD_NAME='改名' WHERE FIELD_NO=12"},
        {[&] { store.deleteEntry(u"104"_s); }, "Delete from TEMP_FIELD where FIELD_NO= 104"},
        {[&] { store.shiftPositions(u"2"_s, u"3"_s); },
         "UPDATE TEMP_FIELD SET SORTBY= SORTBY+1 WHERE P_FIELD_NO= 2 AND SORTBY >= 3"},
        {[&] { store.setPosition(u"3"_s, u"105"_s); },
         "UPDATE TEMP_FIELD SET SORTBY= 3 WHERE FIELD_NO= 105"},
        {[&] { store.setFirstPosition(u"105"_s); },
         "UPDATE TEMP_FIELD SET SORTBY= 1 WHERE FIELD_NO= 105"},
        {[&] { store.setParent(u"3"_s, u"105"_s); },
         "UPDATE TEMP_FIELD SET P_FIELD_NO= 3 WHERE FIELD_NO= 105"},
    };
    for (const auto& [send, expected] : cases) {
        EXPECT_NO_THROW(send()) << expected;
        EXPECT_EQ(seen, expected);
    }
}

}  // namespace
