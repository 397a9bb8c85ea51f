// SPDX-License-Identifier: MIT
#pragma once

// Every statement sent to TEMP_FIELD, the template library table. Texts with "%1"/"%2"
// are filled with jet::fill; the others are joined from the fixed pieces below, and the
// functions at the end do that joining. Values go in as they stand, never escaped, and
// the spacing of every piece (two blanks before VALUES in a new field, none before
// "where" in a changed field) is part of the text.

#include <initializer_list>
#include <string>
#include <string_view>

namespace templates {

// Tree loading: folders by parent, then number; fields by parent, position, number.
inline constexpr std::string_view kSelectFolders =
    "select * from TEMP_FIELD where kind='F' ORDER BY P_FIELD_NO,FIELD_NO";
inline constexpr std::string_view kSelectFields =
    "select * from TEMP_FIELD where kind='A' ORDER BY P_FIELD_NO,SORTBY,FIELD_NO";

// One entry; %1 = entry number.
inline constexpr std::string_view kSelectEntry = "select * from TEMP_FIELD where FIELD_NO= %1";

// Field numbers in library order, for the import.
inline constexpr std::string_view kSelectFieldNumbers =
    "SELECT FIELD_NO FROM TEMP_FIELD WHERE KIND='A' ORDER BY P_FIELD_NO,SORTBY";

// Children of a folder; %1 = folder number (0 for the top level).
inline constexpr std::string_view kSelectChildren =
    "select FIELD_NO,P_FIELD_NO from TEMP_FIELD where P_FIELD_NO= %1";
inline constexpr std::string_view kSelectChildrenWithFixedMark =
    "select FIELD_NO,P_FIELD_NO,DIS_ALT_FLG from TEMP_FIELD where P_FIELD_NO= %1";

// The number of the row just inserted.
inline constexpr std::string_view kSelectMaxFieldNo = "select max(FIELD_NO) from TEMP_FIELD";

// IDs and names of all template fields, for the duplicate check.
inline constexpr std::string_view kSelectFieldIdsAndNames =
    "select FIELD_ID,FIELD_NAME from TEMP_FIELD where kind='A'";

// Positions in a folder, highest first: prefix + folder + suffix.
inline constexpr std::string_view kSelectPositionsPrefix =
    "SELECT SORTBY FROM TEMP_FIELD WHERE P_FIELD_NO = ";
inline constexpr std::string_view kSelectPositionsSuffix = " ORDER BY SORTBY DESC";

// Position of one entry: prefix + entry.
inline constexpr std::string_view kSelectPositionPrefix =
    "SELECT SORTBY FROM TEMP_FIELD WHERE FIELD_NO = ";

// New template field: columns + values-open + parent + after-parent + kind + ID, name,
// attribute, size, position, IME joined by kValueSeparator + kInsertFieldEnd.
inline constexpr std::string_view kInsertFieldColumns =
    "INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,SORTBY,IME) ";
inline constexpr std::string_view kInsertFieldValuesOpen = " VALUES( '";
inline constexpr std::string_view kInsertFieldAfterParent = "',";
inline constexpr std::string_view kInsertFieldKind = " 'A', '";
inline constexpr std::string_view kValueSeparator = "','";
inline constexpr std::string_view kInsertFieldEnd = "')";

// Changed template field; each piece is followed by its value, the last by the entry.
inline constexpr std::string_view kUpdateFieldSetId = "UPDATE TEMP_FIELD SET FIELD_ID='";
inline constexpr std::string_view kUpdateFieldSetName = "', FIELD_NAME = '";
inline constexpr std::string_view kUpdateFieldSetAttr = "', ATTR = '";
inline constexpr std::string_view kUpdateFieldSetSize = "', FIELD_SIZE = '";
inline constexpr std::string_view kUpdateFieldSetIme = "', IME = '";
inline constexpr std::string_view kUpdateFieldWhere = "'where FIELD_NO= ";

// New template folder: prefix + parent (unquoted) + middle + name + end.
inline constexpr std::string_view kInsertFolderPrefix =
    "INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_NAME) VALUES( ";
inline constexpr std::string_view kInsertFolderMiddle = " ,'F','";
inline constexpr std::string_view kInsertFolderEnd = "')";

// New name of a folder from the folder editor; %1 = name, %2 = entry.
inline constexpr std::string_view kUpdateFolderName =
    "UPDATE TEMP_FIELD SET FIELD_NAME='%1' where FIELD_NO= %2 ";

// Rename in place in the tree: prefix + name + middle + entry.
inline constexpr std::string_view kRenamePrefix = "UPDATE TEMP_FIELD SET FIELD_NAME='";
inline constexpr std::string_view kRenameMiddle = "' WHERE FIELD_NO=";

// Deletion of one entry; %1 = entry.
inline constexpr std::string_view kDeleteEntry = "Delete from TEMP_FIELD where FIELD_NO= %1";

// Moves. Room for a moved entry: prefix + folder + middle + position.
inline constexpr std::string_view kShiftPositionsPrefix =
    "UPDATE TEMP_FIELD SET SORTBY= SORTBY+1 WHERE P_FIELD_NO= ";
inline constexpr std::string_view kShiftPositionsMiddle = " AND SORTBY >= ";
// Position of a moved entry: prefix + position + middle + entry.
inline constexpr std::string_view kSetPositionPrefix = "UPDATE TEMP_FIELD SET SORTBY= ";
inline constexpr std::string_view kSetPositionMiddle = " WHERE FIELD_NO= ";
// Moved entry in an empty folder: prefix + entry.
inline constexpr std::string_view kSetFirstPositionPrefix =
    "UPDATE TEMP_FIELD SET SORTBY= 1 WHERE FIELD_NO= ";
// New parent of a moved entry: prefix + folder + middle + entry.
inline constexpr std::string_view kSetParentPrefix = "UPDATE TEMP_FIELD SET P_FIELD_NO= ";
inline constexpr std::string_view kSetParentMiddle = " WHERE FIELD_NO= ";

// A field an import brings in as fixed; %1 = entry.
inline constexpr std::string_view kMarkFixed =
    "UPDATE TEMP_FIELD SET DIS_ALT_FLG='1' WHERE FIELD_NO= %1";

namespace detail {
inline std::string join(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (std::string_view p : pieces) {
        out.append(p);
    }
    return out;
}
}  // namespace detail

inline std::string selectPositions(std::string_view folder) {
    return detail::join({kSelectPositionsPrefix, folder, kSelectPositionsSuffix});
}

inline std::string selectPosition(std::string_view entry) {
    return detail::join({kSelectPositionPrefix, entry});
}

inline std::string insertField(std::string_view parent, std::string_view fieldId,
                               std::string_view name, std::string_view attr, std::string_view size,
                               std::string_view position, std::string_view ime) {
    return detail::join({kInsertFieldColumns, kInsertFieldValuesOpen, parent,
                         kInsertFieldAfterParent, kInsertFieldKind, fieldId, kValueSeparator, name,
                         kValueSeparator, attr, kValueSeparator, size, kValueSeparator, position,
                         kValueSeparator, ime, kInsertFieldEnd});
}

inline std::string updateField(std::string_view fieldId, std::string_view name,
                               std::string_view attr, std::string_view size, std::string_view ime,
                               std::string_view entry) {
    return detail::join({kUpdateFieldSetId, fieldId, kUpdateFieldSetName, name, kUpdateFieldSetAttr,
                         attr, kUpdateFieldSetSize, size, kUpdateFieldSetIme, ime,
                         kUpdateFieldWhere, entry});
}

inline std::string insertFolder(std::string_view parent, std::string_view name) {
    return detail::join({kInsertFolderPrefix, parent, kInsertFolderMiddle, name, kInsertFolderEnd});
}

inline std::string rename(std::string_view name, std::string_view entry) {
    return detail::join({kRenamePrefix, name, kRenameMiddle, entry});
}

inline std::string shiftPositions(std::string_view folder, std::string_view position) {
    return detail::join({kShiftPositionsPrefix, folder, kShiftPositionsMiddle, position});
}

inline std::string setPosition(std::string_view position, std::string_view entry) {
    return detail::join({kSetPositionPrefix, position, kSetPositionMiddle, entry});
}

inline std::string setFirstPosition(std::string_view entry) {
    return detail::join({kSetFirstPositionPrefix, entry});
}

inline std::string setParent(std::string_view folder, std::string_view entry) {
    return detail::join({kSetParentPrefix, folder, kSetParentMiddle, entry});
}

}  // namespace templates
