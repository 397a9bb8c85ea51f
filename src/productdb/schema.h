// SPDX-License-Identifier: MIT
#pragma once

// The product database: its twenty tables, the seed rows, and the statements that
// register a field and add its ADDRESS column. The texts are sent exactly as they stand,
// runs of blanks included.

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

namespace productdb {

// Tables in the order in which a new file receives them.
// clang-format off
inline constexpr std::string_view kCreateProject =
    "CREATE TABLE PROJECT(PRJ_NO     LONG    NOT NULL, P_PRJNO   LONG NOT NULL, KIND   TEXT(1) NOT NULL, NAME   TEXT(20) NOT NULL, PRIMARY KEY(PRJ_NO))";
inline constexpr std::string_view kCreatePrjDetail =
    "CREATE TABLE PRJ_DETAIL(PRJ_NO     LONG    NOT NULL, SYORI_NO   LONG NOT NULL, SYORI        TEXT(10) NOT NULL, SYURUI      TEXT(20) NOT NULL, NAIYOU_NO      LONG, NAIYOU           TEXT(100))";
inline constexpr std::string_view kCreateAddress =
    "CREATE TABLE ADDRESS(ADDRESS_NO  LONG NOT NULL, PRIMARY KEY(ADDRESS_NO))";
inline constexpr std::string_view kCreateAddressInfo =
    "CREATE TABLE ADDRESS_INFO(ADDRESS_NO  LONG  NOT NULL,MARK    YESNO NOT NULL, CREATE_DATE DATE  NOT NULL, UPDATE_DATE DATE, STATUS  TEXT(1), PRIMARY KEY(ADDRESS_NO))";
inline constexpr std::string_view kCreateCFolder =
    "CREATE TABLE C_FOLDER(C_FOLDER_NO   LONG    NOT NULL, P_C_FOLDER_NO  LONG    NOT NULL, KIND       TEXT(1) NOT NULL, C_FOLDER_NAME  TEXT(100)   NOT NULL, CONTENT_NO LONG    NOT NULL, PRIMARY KEY(C_FOLDER_NO))";
inline constexpr std::string_view kCreateContent =
    "CREATE TABLE CONTENT(CONTENT_NO LONG,NAME TEXT(100), SUBJECT TEXT(200),TEXT_CONTENT MEMO,HTML_CONTENT MEMO,DOC_FILENAME TEXT(255),EZM_FILENAME TEXT(255),ATTACH_NO LONG,CREATE_DATE DATE NOT NULL,UPDATE_DATE DATE,PRIMARY KEY(CONTENT_NO))";
inline constexpr std::string_view kCreateField =
    "CREATE TABLE FIELD(FIELD_ID  TEXT(32)  NOT NULL, FIELD_NAME   TEXT(100) NOT NULL, ATTR         TEXT(1)   NOT NULL, FIELD_SIZE             LONG, IME      TEXT(1)   NOT NULL, MAIL_ADDRESS_FLG TEXT(1), FAX_NO_FLG   TEXT(1), DISP_SEQNO   LONG      NOT NULL,HIDDEN   YESNO,COLSIZE   LONG,PRIMARY KEY(FIELD_ID))";
inline constexpr std::string_view kCreateFolder =
    "CREATE TABLE FOLDER(FOLDER_NO       LONG    NOT NULL, P_FOLDER_NO    LONG    NOT NULL, FOLDER_NAME    TEXT(100)   NOT NULL, COMMENT        MEMO, SELECT_NO  LONG    NOT NULL, SELECT_MODE    TEXT(8))";
inline constexpr std::string_view kCreateInfo =
    "CREATE TABLE INFO(DB_CODE   TEXT(16) NOT NULL, VERSION    LONG     NOT NULL, REV        LONG     NOT NULL, PSWD   TEXT(16), CREATEDB_DATE  DATE     NOT NULL, UPDATEDB_DATE  DATE, PRIMARY KEY(DB_CODE))";
inline constexpr std::string_view kCreateLabelSetting =
    "CREATE TABLE LABELSETTING(SETID     TEXT(32)    NOT NULL, FIELD_ID   TEXT(32), PRN_ATTR   TEXT(16), PRIMARY KEY(SETID))";
inline constexpr std::string_view kCreateMapping =
    "CREATE TABLE MAPPING(PROFILE_NO LONG    NOT NULL, FIELD_ID   TEXT(32)    NOT NULL, SEQNO  LONG    NOT NULL, FROM_FIELD_ID  TEXT(32)    NOT NULL, IS_KEY YESNO   NOT NULL, SET_METHOD TEXT(1) NOT NULL)";
inline constexpr std::string_view kCreateProfile =
    "CREATE TABLE PROFILE(PROFILE_NO     LONG    NOT NULL, NAME       TEXT(100)   NOT NULL, APP_ID     TEXT(16)    NOT NULL, USE_TYPE       TEXT(1) NOT NULL, PRIMARY KEY(PROFILE_NO))";
inline constexpr std::string_view kCreateReplace =
    "CREATE TABLE REPLACE(REPLACE_NO     LONG    NOT NULL, P_REPLACE_NO   LONG    NOT NULL, KIND       TEXT(1) NOT NULL, TITLE      TEXT(100)   NOT NULL, COMMENT        MEMO, REPLACE_M_NO   LONG    NOT NULL, PRIMARY KEY(REPLACE_NO))";
inline constexpr std::string_view kCreateReplaceCond =
    "CREATE TABLE REPLACE_COND(REPLACE_COND_NO   LONG    NOT NULL, SNO        LONG    NOT NULL, USE_TYPE   TEXT(1) NOT NULL, S_METHOD   TEXT(1), S_VAL      TEXT(100), D_F_METHOD TEXT(1), D_F_VAL    DATE, D_T_METHOD TEXT(1), D_T_VAL    DATE, N_F_METHOD TEXT(1), N_F_VAL    DOUBLE, N_T_METHOD TEXT(1), N_T_VAL    DOUBLE, B_VAL  YESNO, REPLACE_NO  LONG, UNIQUE(REPLACE_COND_NO,SNO,REPLACE_NO))";
inline constexpr std::string_view kCreateReplaceM =
    "CREATE TABLE REPLACE_M(REPLACE_M_NO LONG    NOT NULL, P_REPLACE_M_NO LONG    NOT NULL, USE_TYPE   TEXT(1) NOT NULL, FIELD_ID   TEXT(32), REPLACE_COND_TYPE  TEXT(1), REPLACE_COND_NO    LONG, REPLACE_TITLE    TEXT(100), REPLACE_TYPE   TEXT(1), R_FIELD_ID TEXT(32), R_TEXT     MEMO, R_TEXT_FILENAME    TEXT(255), R_IMAGE_FILENAME   TEXT(255), R_MMEDIA_FILENAME  TEXT(255), REPLACE_NO        LONG    NOT NULL)";
inline constexpr std::string_view kCreateSelectCond =
    "CREATE TABLE SELECT_COND(SELECT_NO  LONG NOT NULL, SNO        LONG NOT NULL, FIELD_ID   TEXT(32) NOT NULL, USE_TYPE   TEXT(1) NOT NULL, S_METHOD   TEXT(1), S_VAL  TEXT(100), D_F_METHOD TEXT(1), D_F_VAL    DATE, D_T_METHOD TEXT(1), D_T_VAL    DATE, N_F_METHOD TEXT(1), N_F_VAL    DOUBLE, N_T_METHOD TEXT(1), N_T_VAL    DOUBLE, B_VAL  YESNO)";
inline constexpr std::string_view kCreateSendbox =
    "CREATE TABLE SENDBOX(SENDBOX_NO LONG    NOT NULL, CONTENT_TYPE   TEXT(1) NOT NULL, SUBJECT    TEXT(200)   NOT NULL, SEND_DATE  DATE    NOT NULL, ALL_COUNT  LONG    NOT NULL, ERR_COUNT  LONG    NOT NULL, CONTENT_NO LONG    NOT NULL, USE_CONTENT TEXT(8)  NOT NULL, ACCOUNT_NO LONG    NOT NULL, PRIMARY KEY(SENDBOX_NO))";
inline constexpr std::string_view kCreateSendlog =
    "CREATE TABLE SENDLOG(SENDBOX_NO LONG    NOT NULL, ADDRESS_NO LONG    NOT NULL, SEND_DATE  DATE    NOT NULL, TO_NAME    TEXT(100), TO_ADDRESS TEXT(100), STATUS     TEXT(1), RETRYABLE     TEXT(1), DETAIL_CODE     TEXT(8), FAX_REQUESTNO     LONG, UNIQUE(SENDBOX_NO,ADDRESS_NO))";
inline constexpr std::string_view kCreateSeqno =
    "CREATE TABLE SEQNO(SEQNO_ID TEXT(9)    NOT NULL, ADDRESS     LONG    NOT NULL, FOLDER      LONG    NOT NULL, SELECT_COND LONG    NOT NULL, REPLACE     LONG    NOT NULL, REPLACE_M   LONG    NOT NULL, REPLACE_COND    LONG    NOT NULL, PROFILE     LONG    NOT NULL, MAPPING     LONG    NOT NULL, C_FOLDER    LONG    NOT NULL, CONTENT     LONG    NOT NULL, PRJ_NO     LONG    NOT NULL, SENDBOX     LONG    NOT NULL, SENDLOG     LONG    NOT NULL,PRIMARY KEY(SEQNO_ID))";
inline constexpr std::string_view kCreateAttach =
    "CREATE TABLE ATTACH(ATTACH_NO     LONG    NOT NULL, SEQNO   LONG NOT NULL, FILENAME TEXT(255) NOT NULL, UNIQUE(ATTACH_NO,SEQNO))";
// clang-format on

inline constexpr std::array<std::string_view, 20> kCreateTables = {
    kCreateProject,    kCreatePrjDetail, kCreateAddress, kCreateAddressInfo, kCreateCFolder,
    kCreateContent,    kCreateField,     kCreateFolder,  kCreateInfo,        kCreateLabelSetting,
    kCreateMapping,    kCreateProfile,   kCreateReplace, kCreateReplaceCond, kCreateReplaceM,
    kCreateSelectCond, kCreateSendbox,   kCreateSendlog, kCreateSeqno,       kCreateAttach,
};

// Seed rows, right after the tables. "%1" is the day of creation, written as YYYY-MM-DD.
inline constexpr std::string_view kInsertInfo =
    "INSERT INTO INFO(DB_CODE,VERSION,REV,CREATEDB_DATE) VALUES('RAVLIN',1,0,'%1')";
inline constexpr std::string_view kInsertSeqno =
    "INSERT INTO SEQNO VALUES('00000000',0,0,0,0,0,0,0,0,0,0,0,0,0)";

// Field registration: the prefix, then the values joined by kFieldValueSeparator, then
// kInsertFieldEnd. Without a size: ID, name, attribute, IME, mail, FAX, display order;
// with a size, the size follows the attribute. A new field's display order is -1.
inline constexpr std::string_view kInsertFieldPrefix =
    "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,DISP_SEQNO) "
    "VALUES('";
inline constexpr std::string_view kInsertFieldWithSizePrefix =
    "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,"
    "DISP_SEQNO) VALUES('";
inline constexpr std::string_view kFieldValueSeparator = "','";
inline constexpr std::string_view kInsertFieldEnd = "')";
inline constexpr std::string_view kNewFieldDispSeqno = "-1";

// The field's ADDRESS column: %1 field ID, %2 type word, %3 width (TEXT with a size only).
inline constexpr std::string_view kAddAddressColumnWithWidth =
    "ALTER TABLE ADDRESS ADD COLUMN  %1 %2(%3)";
inline constexpr std::string_view kAddAddressColumn = "ALTER TABLE ADDRESS ADD COLUMN  %1 %2";

// Display order: %1 the 1-based list position, %2 the field ID.
inline constexpr std::string_view kUpdateDispSeqno =
    "UPDATE FIELD SET DISP_SEQNO=%1 WHERE FIELD_ID='%2'";

// Undoing a failed registration: the prefix, the field ID, then kDeleteFieldEnd.
inline constexpr std::string_view kDeleteFieldPrefix = "delete * from field where field_id='";
inline constexpr std::string_view kDeleteFieldEnd = "'";

// Reading the registered fields of an existing file.
inline constexpr std::string_view kCountFields = "select count(*) from field";
inline constexpr std::string_view kSelectAllFields = "select * from field";

namespace detail {
inline std::string joinFieldValues(std::string_view prefix,
                                   std::initializer_list<std::string_view> values) {
    std::string out(prefix);
    bool first = true;
    for (std::string_view v : values) {
        if (!first) {
            out.append(kFieldValueSeparator);
        }
        out.append(v);
        first = false;
    }
    out.append(kInsertFieldEnd);
    return out;
}
}  // namespace detail

// The registration of a new field without a size (FIELD_SIZE stays null).
inline std::string insertField(std::string_view fieldId, std::string_view name,
                               std::string_view attr, std::string_view ime, std::string_view mail,
                               std::string_view fax) {
    return detail::joinFieldValues(kInsertFieldPrefix,
                                   {fieldId, name, attr, ime, mail, fax, kNewFieldDispSeqno});
}

// The registration of a new field with the size as typed.
inline std::string insertFieldWithSize(std::string_view fieldId, std::string_view name,
                                       std::string_view attr, std::string_view size,
                                       std::string_view ime, std::string_view mail,
                                       std::string_view fax) {
    return detail::joinFieldValues(kInsertFieldWithSizePrefix,
                                   {fieldId, name, attr, size, ime, mail, fax, kNewFieldDispSeqno});
}

inline std::string deleteField(std::string_view fieldId) {
    std::string out(kDeleteFieldPrefix);
    out.append(fieldId);
    out.append(kDeleteFieldEnd);
    return out;
}

}  // namespace productdb
