// SPDX-License-Identifier: MIT
#include "templates/library.h"

#include <set>
#include <type_traits>
#include <vector>

#include "templates/field_rules.h"
#include "templates/texts.h"

namespace templates {

namespace {

QString text(const jet::Value& value) {
    return QString::fromStdString(value.toString());
}

// The first row's SORTBY of a position query, as text; empty without a row or a position.
QString firstPosition(const jet::Recordset& rs) {
    return rs.eof() ? QString() : text(rs.field("SORTBY"));
}

// How many entries a walk goes through between two reports of its progress.
constexpr int kProgressEvery = 100;

// Entry 0 is the top level: an entry numbered 0 is never walked into.
bool isTopLevel(const QString& number) {
    return number.toLongLong() == 0;
}

// Throws EntryGone when `number` is not the top level and has no row.
void requireEntry(TemplateStore& store, const QString& number) {
    if (!isTopLevel(number) && store.selectEntry(number).eof()) {
        throw EntryGone(number);
    }
}

// Runs `change` in one write of the library once `entry` is known to be there, and returns
// what it returns.
template <typename Change>
auto changeAt(LibraryConnection& library, const QString& entry, Change change) {
    LibraryConnection::Write write(library);
    TemplateStore store(write.connection());
    requireEntry(store, entry);
    if constexpr (std::is_void_v<decltype(change(store))>) {
        change(store);
        write.commit();
    } else {
        auto result = change(store);
        write.commit();
        return result;
    }
}

}  // namespace

TemplateEntry Library::entry(const QString& number) {
    return entryAt(TemplateStore(reading()).selectEntry(number));
}

QString Library::parentFolder(const QString& selected) {
    const TemplateEntry row = entry(selected);
    return row.kind == kKindFolder ? selected : row.parent;
}

bool Library::holdsFixedField(const QString& folder) {
    return holdsFixedField(folder, {});
}

bool Library::holdsFixedField(const QString& folder, const Progress& progress) {
    TemplateStore store(reading());
    int walked = 0;
    // One open level per folder on the way down, as a recursion would keep them.
    std::vector<jet::Recordset> levels;
    std::set<QString> seen{folder};
    levels.push_back(store.selectChildrenWithFixedMark(folder));
    bool fixed = false;
    while (!levels.empty()) {
        jet::Recordset& rs = levels.back();
        if (rs.eof()) {
            levels.pop_back();
            continue;
        }
        if (text(rs.field("DIS_ALT_FLG")) == u"1") {
            fixed = true;
            levels.pop_back();  // this level stops; the ones above go on
            continue;
        }
        const QString child = text(rs.field("FIELD_NO"));
        rs.moveNext();
        if (progress && ++walked % kProgressEvery == 0) {
            progress(walked);
        }
        if (!isTopLevel(child) && seen.insert(child).second) {
            levels.push_back(store.selectChildrenWithFixedMark(child));
        }
    }
    return fixed;
}

void Library::deleteFolder(const QString& folder) {
    deleteFolder(folder, {});
}

void Library::deleteFolder(const QString& folder, const Progress& progress) {
    LibraryConnection::Write write(m_library);
    int deleted = 0;
    TemplateStore store(write.connection());
    store.deleteEntry(folder);
    // Children before parents: each level's children are read before any of them goes.
    struct Level {
        QString number;
        std::vector<QString> children;
        std::size_t next = 0;
    };
    std::set<QString> seen{folder};
    auto open = [&store](const QString& number) {
        Level level{number, {}, 0};
        for (jet::Recordset rs = store.selectChildren(number); !rs.eof(); rs.moveNext()) {
            level.children.push_back(text(rs.field("FIELD_NO")));
        }
        return level;
    };
    std::vector<Level> levels;
    levels.push_back(open(folder));
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.children.size()) {
            store.deleteEntry(level.number);
            levels.pop_back();
            if (progress && ++deleted % kProgressEvery == 0) {
                progress(deleted);
            }
            continue;
        }
        const QString child = level.children[level.next++];
        if (!seen.insert(child).second) {
            continue;
        }
        if (isTopLevel(child)) {
            store.deleteEntry(child);
        } else {
            levels.push_back(open(child));
        }
    }
    write.commit();
}

void Library::deleteEntry(const QString& entry) {
    LibraryConnection::Write write(m_library);
    TemplateStore(write.connection()).deleteEntry(entry);
    write.commit();
}

std::optional<FieldRefusal> Library::formRefusal(const FieldDraft& draft) {
    if (draft.fieldId.isEmpty() || draft.name.isEmpty() || draft.attr.isEmpty()) {
        return FieldRefusal::kIncomplete;
    }
    if (isReservedFieldId(draft.fieldId)) {
        return FieldRefusal::kReservedId;
    }
    return std::nullopt;
}

std::optional<FieldRefusal> Library::refusal(const FieldDraft& draft, EditorMode mode,
                                             const QString& ownId) {
    if (const std::optional<FieldRefusal> form = formRefusal(draft)) {
        return form;
    }
    // Compared as the engine hands them over: 10,000 rows are walked within a frame.
    const std::string id = draft.fieldId.toStdString();
    const std::string name = draft.name.toStdString();
    const std::string own = ownId.toStdString();
    const bool skipOwnRows = mode == EditorMode::kEdit;
    for (jet::Recordset rs = TemplateStore(reading()).selectFieldIdsAndNames(); !rs.eof();
         rs.moveNext()) {
        const std::string rowId = rs.field(0).toString();
        if ((rowId == id || rs.field(1).toString() == name) && !(skipOwnRows && rowId == own)) {
            return FieldRefusal::kDuplicate;
        }
    }
    return std::nullopt;
}

QString Library::addField(const QString& folder, const FieldDraft& draft) {
    return changeAt(m_library, folder, [&](TemplateStore& store) {
        const QString position = positionAfter(firstPosition(store.selectPositions(folder)));
        store.insertField(folder, draft.fieldId, draft.name, draft.attr, draft.size, position,
                          draft.ime);
        return store.insertedNumber();
    });
}

void Library::editField(const QString& entry, const FieldDraft& draft) {
    changeAt(m_library, entry, [&](TemplateStore& store) {
        store.updateField(draft.fieldId, draft.name, draft.attr, draft.size, draft.ime, entry);
    });
}

QString Library::addFolder(const QString& parent, const QString& name) {
    return changeAt(m_library, parent, [&](TemplateStore& store) {
        store.insertFolder(parent, name);
        return store.insertedNumber();
    });
}

void Library::renameFolder(const QString& folder, const QString& name) {
    changeAt(m_library, folder,
             [&](TemplateStore& store) { store.updateFolderName(name, folder); });
}

void Library::rename(const QString& entry, const QString& name) {
    changeAt(m_library, entry, [&](TemplateStore& store) { store.rename(name, entry); });
}

DropVerdict Library::judgeDrop(const DropNode& moved, const DropNode& target,
                               const QStringList& foldersAbove) {
    if (moved.name == target.name) {
        return DropVerdict::kNothing;
    }
    // A folder never goes into its own subtree; the folders above the target are known by
    // their names only, so any folder of the moved node's name refuses the move.
    if (target.key != kRootKey && foldersAbove.contains(moved.name)) {
        return DropVerdict::kRefused;
    }
    return moved.key == kRootKey ? DropVerdict::kNothing : DropVerdict::kMove;
}

void Library::move(const QString& moved, const DropTarget& target) {
    LibraryConnection::Write write(m_library);
    TemplateStore store(write.connection());
    requireEntry(store, moved);
    requireEntry(store, target.key);
    if (target.isField) {
        requireEntry(store, target.parent);
        const QString position = firstPosition(store.selectPosition(target.key));
        if (!position.isEmpty()) {
            store.shiftPositions(target.parent, position);
            store.setPosition(position, moved);
            store.setParent(target.parent, moved);
        }
    } else if (const jet::Recordset last = store.selectPositions(target.key); last.eof()) {
        store.setFirstPosition(moved);
        store.setParent(target.key, moved);
    } else if (const std::optional<std::int64_t> highest = last.field("SORTBY").toInt()) {
        store.setPosition(QString::number(*highest + 1), moved);
        store.setParent(target.key, moved);
    }  // else the folder holds only entries without a position (subfolders)
    write.commit();
}

}  // namespace templates
