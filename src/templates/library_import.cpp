// SPDX-License-Identifier: MIT
#include "templates/library_import.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>

#include "jet/connection.h"
#include "jet/error.h"
#include "jet/jetfile/jet_file.h"
#include "jet/placeholders.h"
#include "templates/field_rules.h"
#include "templates/library_jet.h"
#include "templates/library_owner.h"
#include "templates/store.h"
#include "templates/texts.h"
#include "vocabulary/msgbox_const.h"

namespace templates {

namespace {

// `text` with its placeholders filled.
QString filled(QStringView text, const QString& a, const QString& b = {}, const QString& c = {}) {
    const std::string sa = a.toStdString(), sb = b.toStdString(), sc = c.toStdString();
    return QString::fromStdString(jet::fill(text.toString().toStdString(), {sa, sb, sc}));
}

// Why the field editor would not take the field of `line`, leaving duplicates aside.
std::optional<QString> fieldRefusal(const LibraryLine& line) {
    if (line.fieldId.isEmpty() || line.name.isEmpty()) {
        return kMsgEnterText.toString();
    }
    if (filterFieldId(line.fieldId).text != line.fieldId) {
        const auto bad = std::find_if(line.fieldId.begin(), line.fieldId.end(), [](QChar c) {
            return filterFieldId(QString(c)).text.isEmpty();
        });
        return filled(kImportBadIdCharacters, line.fieldId, QString(*bad));
    }
    if (line.fieldId.size() > kFieldIdMaxLength) {
        return kImportIdTooLong.toString();
    }
    if (line.name.size() > kFieldNameMaxLength) {
        return kImportNameTooLong.toString();
    }
    if (line.name.contains(u'\'')) {
        return kImportApostrophe.toString();
    }
    if (isReservedFieldId(line.fieldId)) {
        return kMsgReservedFieldId.toString();
    }
    const vocabulary::Attribute* attribute = MsgBox_Const::attributeOfLabel(line.attribute);
    if (!attribute->takesSize && !line.size.isEmpty()) {
        return kImportSizeOnlyText.toString();
    }
    if (sizeOutOfRange(line.size)) {
        return kMsgSizeOutOfRange.toString();
    }
    return std::nullopt;
}

// Why the folder editor would not take a folder of that name.
std::optional<QStringView> folderRefusal(const QString& name) {
    if (name.isEmpty()) {
        return kMsgEnterText;
    }
    if (name.size() > kFolderNameMaxLength) {
        return kImportFolderNameTooLong;
    }
    if (name.contains(u'\'')) {
        return kImportApostrophe;
    }
    return std::nullopt;
}

QString imeCode(const QString& label) {
    return label.isEmpty() ? QString() : MsgBox_Const::imeCode(label);
}

// The library's folders and fields by parent and name, and the folders and fields an
// import plans, numbered from -1 down until they are written.
class Plan {
  public:
    explicit Plan(const std::vector<TemplateEntry>& rows) {
        for (const TemplateEntry& row : rows) {
            if (row.kind == kKindFolder) {
                const auto key = std::pair(row.parent, row.name);
                const auto it = m_folders.find(key);
                // Of two folders of one name, the tree shows the one made first first.
                if (it == m_folders.end() || row.number.toLongLong() < it->toLongLong()) {
                    m_folders.insert(key, row.number);
                }
            } else if (row.kind == kKindField) {
                m_fieldNames.insert(std::pair(row.parent, row.name));
            }
            if (row.kind.compare(kKindField, Qt::CaseInsensitive) == 0) {
                const QString entry = filled(kImportLibraryField, row.fieldId, row.name);
                m_ids.insert(row.fieldId, entry);
                m_names.insert(row.name, entry);
            }
        }
    }

    struct NewFolder {
        QString parent;  // a number, or a planned folder's placeholder
        QString name;
        QString placeholder;
    };
    struct NewField {
        const LibraryLine* line;
        QString folder;
        int order;  // the folder's first appearance
    };

    // The number (or placeholder) of the folder at `path`, planning what is missing; the
    // reason when a name cannot be a folder there.
    std::optional<QString> resolve(const QString& top, const QStringList& path, QString& folder) {
        folder = top;
        for (const QString& name : path) {
            const auto key = std::pair(folder, name);
            if (const auto it = m_folders.find(key); it != m_folders.end()) {
                folder = *it;
                continue;
            }
            if (m_fieldNames.contains(key)) {
                return fill(kFilePathThroughField, libraryPathText(path));
            }
            if (const std::optional<QStringView> why = folderRefusal(name)) {
                return why->toString();
            }
            const QString placeholder = QString::number(-1 - qsizetype(newFolders.size()));
            newFolders.push_back({folder, name, placeholder});
            m_folders.insert(key, placeholder);
            folder = placeholder;
        }
        return std::nullopt;
    }

    bool hasId(const QString& id) const { return m_ids.contains(id); }
    // Takes the field of `line`; or, for a duplicate of an ID or name of the library or of
    // the import, says which entry it clashes with.
    std::optional<QString> refuseDuplicate(const LibraryLine& line) {
        const QString duplicate = kMsgDuplicateField.toString();
        if (const auto it = m_ids.find(line.fieldId); it != m_ids.end()) {
            return filled(kImportDuplicateId, duplicate, *it);
        }
        if (const auto it = m_names.find(line.name); it != m_names.end()) {
            return filled(kImportDuplicateName, duplicate, *it);
        }
        const QString entry =
            filled(kImportLineField, QString::number(line.line), line.fieldId, line.name);
        m_ids.insert(line.fieldId, entry);
        m_names.insert(line.name, entry);
        return std::nullopt;
    }

    static QString fill(QStringView text, const QString& value) {
        return QString::fromStdString(
            jet::fill(text.toString().toStdString(), {value.toStdString()}));
    }

    std::vector<NewFolder> newFolders;
    std::vector<NewField> newFields;

  private:
    QHash<std::pair<QString, QString>, QString> m_folders;
    QSet<std::pair<QString, QString>> m_fieldNames;
    QHash<QString, QString> m_ids;  // the entry that has it, for the duplicate message
    QHash<QString, QString> m_names;
};

}  // namespace

QString exportLibrary(jet::Connection& connection, const QString& top) {
    return libraryText(libraryLines(readEntries(connection), top));
}

ParsedLibrary libraryFromDatabase(const QString& path) {
    LibraryConnection library(LibraryOwner{path});
    return {libraryLines(readEntries(library.connection())), {}};
}

ParsedLibrary readLibraryFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return ParsedLibrary::refused({0, kFileUnreadable.toString()});
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return ParsedLibrary::refused({0, kFileUnreadable.toString()});
    }
    // The Windows system's library, a Jet file.
    if (jetfile::hasJetHeader(std::string_view(bytes.constData(), std::size_t(bytes.size())))) {
        return libraryFromJetFile(path);
    }
    if (looksLikeDatabase(bytes)) {
        try {
            return libraryFromDatabase(path);
        } catch (const jet::Error& e) {
            return ParsedLibrary::refused({0, QString::fromStdString(e.what())});
        }
    }
    LibraryRefusal refusal;
    const QString text = libraryFileText(bytes, refusal);
    if (!refusal.message.isEmpty()) {
        return ParsedLibrary::refused(refusal);
    }
    return parseLibraryText(text);
}

ImportResult importLibrary(LibraryConnection& library, const std::vector<LibraryLine>& lines,
                           const ImportOptions& options) {
    ImportResult result;
    Plan plan(readEntries(library.connection()));
    QHash<QString, int> folderOrder;
    QHash<QStringList, QString> resolved;  // the folders of the paths met so far
    for (const LibraryLine& line : lines) {
        QString folder = resolved.value(line.path);
        if (folder.isEmpty()) {
            if (const std::optional<QString> why =
                    plan.resolve(options.below, options.into + line.path, folder)) {
                result.refusals.push_back({line.line, *why});
                continue;
            }
            resolved.insert(line.path, folder);
        }
        if (result.firstFolder.isEmpty()) {
            QString first;
            plan.resolve(options.below,
                         options.into + line.path.first(std::min<qsizetype>(line.path.size(), 1)),
                         first);
            result.firstFolder = first;
        }
        if (line.kind == LibraryLine::Kind::kFolder) {
            continue;
        }
        if (const std::optional<QString> why = fieldRefusal(line)) {
            result.refusals.push_back({line.line, *why});
            continue;
        }
        if (options.skipExisting && plan.hasId(line.fieldId)) {
            ++result.skipped;
            continue;
        }
        if (const std::optional<QString> clash = plan.refuseDuplicate(line)) {
            result.refusals.push_back({line.line, *clash});
            continue;
        }
        const int order = static_cast<int>(folderOrder.size());
        plan.newFields.push_back({&line, folder, folderOrder.value(folder, order)});
        folderOrder.insert(folder, folderOrder.value(folder, order));
    }
    result.folders = static_cast<int>(plan.newFolders.size());
    result.fields = static_cast<int>(plan.newFields.size());
    if (!result.refusals.empty() || options.checkOnly) {
        return result;
    }
    // Each folder's fields in the order of their positions, folders as they came.
    std::stable_sort(plan.newFields.begin(), plan.newFields.end(),
                     [](const Plan::NewField& a, const Plan::NewField& b) {
                         return a.order != b.order ? a.order < b.order
                                                   : a.line->position < b.line->position;
                     });

    LibraryConnection::Write write(library);
    TemplateStore store(write.connection());
    QHash<QString, QString> numbers;  // placeholder -> number
    auto number = [&](const QString& folder) { return numbers.value(folder, folder); };
    auto lastNumber = [&] { return store.insertedNumber(); };
    for (const Plan::NewFolder& f : plan.newFolders) {
        store.insertFolder(number(f.parent), f.name);
        numbers.insert(f.placeholder, lastNumber());
    }
    QString folder;
    QString position;
    for (const Plan::NewField& f : plan.newFields) {
        if (f.folder != folder || position.isEmpty()) {
            folder = f.folder;
            position.clear();
            // A folder the import made holds nothing yet.
            if (!numbers.contains(folder)) {
                const jet::Recordset last = store.selectPositions(folder);
                if (!last.eof()) {
                    position = QString::fromStdString(last.field(0).toString());
                }
            }
        }
        position = positionAfter(position);
        const LibraryLine& l = *f.line;
        store.insertField(number(folder), l.fieldId, l.name, MsgBox_Const::getATTR(l.attribute),
                          l.size, position, imeCode(l.ime));
        if (l.fixed) {
            store.markFixed(lastNumber());
        }
    }
    write.commit();
    result.firstFolder = number(result.firstFolder);
    return result;
}

}  // namespace templates
